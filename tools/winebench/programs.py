"""The programs that the bench starts, and the Debian packages they come from.

Every program that a script, tool or test starts (scripts/, tools/, tests/,
cmake/) must come from a package in set-up's list (scripts/setup.sh), from
one those depend on, or from a package every Debian system has (Essential or
of priority required, like apt): a fresh machine has nothing else.
`problems()` lists each one that does not, naming the file and line that
starts it; tests/tools holds the bench to it.

It reads the programs from the sources: in Python, the argv[0] of
subprocess's run, Popen, check_output, check_call and call, and the name
given to shutil.which, where a literal (or a module constant, a parameter's
default, a constant imported from another scanned module) says it; in shell
scripts, the first word of every simple command that is not a builtin, a
keyword or a function of the scripts (`$VAR` is taken when VAR is assigned
a literal somewhere in them). dpkg says which package owns each program.

    python3 -m winebench.programs     each program, where it is started, and its package
"""

from __future__ import annotations

import ast
import functools
import os
import re
import shutil
import subprocess
import sys
from collections import defaultdict
from pathlib import Path
from typing import Dict, Iterator, List, NamedTuple, Optional, Set

REPO = Path(__file__).resolve().parents[2]
SCANNED = ("scripts", "tools", "tests", "cmake")
DEBIAN_PATH = "/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin"  # a fresh root shell's

# What set-up may start before anything is installed, and why.
BEFORE_SETUP = {("scripts/setup.sh", "sudo"): "set-up's way to root when not run as root"}
# What wine32:i386 ships that the bench starts: set-up installs it only where
# this machine runs 32-bit programs.
WINE32_FILES = {"/usr/lib/wine/wine", "/usr/lib/wine/wineserver32"}

RUNNERS = {"run", "Popen", "check_output", "check_call", "call"}
SHELL_BUILTINS = set(
    ". : [ alias bg bind break builtin caller cd command compgen complete continue declare dirs "
    "disown echo enable eval exit export false fc fg getopts hash help history jobs kill let local "
    "logout mapfile popd printf pushd pwd read readarray readonly return set shift shopt source "
    "suspend test times trap true type typeset ulimit umask unalias unset wait".split())
# Words after which the next word is still in command position.
COMMAND_PREFIXES = set(
    "if then else elif fi do done while until { } ! exec time as_root xargs".split())
ASSIGNMENT = re.compile(r"[A-Za-z_]\w*(\[[^]]*\])?\+?=")


class Use(NamedTuple):
    where: str  # file:line
    program: str  # a name looked up on the PATH, or an absolute path


# -- shell scripts ---------------------------------------------------------------
class Tok(NamedTuple):
    kind: str  # "word", "op", "nl" (a newline) or "arith" (a (( )) command)
    text: Optional[str]  # a word without its quotes; None when it expands something
    line: int
    raw: str = ""  # a word as written
    var: Optional[str] = None  # the word is just $NAME


class ShellLexer:
    """Tokens of a shell script. Quotes, comments, ${...}, $((...)),
    redirections with their targets and here-documents are taken apart here;
    each $(...) and `...` becomes a token list of its own in `substitutions`."""

    STOP = " \t\n|&;()<>"
    OPS = ("&&", "||", ";;", "|&", "|", "&", ";", "(", ")")
    REDIRECT = re.compile(r"\d*(&>>|&>|>>|>&|>\||<<<|<<-?|<&|<>|>|<)")

    def __init__(self, text: str, line: int = 1):
        self.text, self.pos, self.line = text, 0, line
        self.substitutions: List[List[Tok]] = []
        self.heredocs: List[str] = []

    def peek(self, ahead: int = 0) -> str:
        return self.text[self.pos + ahead:self.pos + ahead + 1]

    def skip_to(self, end: int) -> None:
        self.line += self.text.count("\n", self.pos, end)
        self.pos = end

    def tokens(self, in_substitution: bool = False) -> List[Tok]:
        toks: List[Tok] = []
        depth = 0
        while self.pos < len(self.text):
            c, redirect = self.peek(), self.REDIRECT.match(self.text, self.pos)
            if c in " \t" or self.text.startswith("\\\n", self.pos):
                self.skip_to(self.pos + (2 if c == "\\" else 1))
            elif c == "\n":
                toks.append(Tok("nl", None, self.line))
                self.skip_to(self.pos + 1)
                while self.heredocs:  # the here-document's lines up to its delimiter
                    delimiter = self.heredocs.pop(0)
                    match = re.compile(r"^\s*%s\s*$" % re.escape(delimiter), re.M).search(
                        self.text, self.pos)
                    self.skip_to(match.end() if match else len(self.text))
            elif c == "#":
                end = self.text.find("\n", self.pos)
                self.skip_to(len(self.text) if end < 0 else end)
            elif redirect:
                self.skip_to(redirect.end())
                while self.peek() in (" ", "\t"):
                    self.pos += 1
                target = self.word()
                if redirect.group(1).startswith("<<") and redirect.group(1) != "<<<":
                    self.heredocs.append(target.text or "")
            elif self.text.startswith("((", self.pos):
                self.skip_to(self.closing_paren(self.pos))
                toks.append(Tok("arith", None, self.line))
            elif c in "|&;()":
                op = next(o for o in self.OPS if self.text.startswith(o, self.pos))
                depth += (op == "(") - (op == ")")
                if in_substitution and depth < 0:
                    self.pos += 1
                    return toks
                toks.append(Tok("op", op, self.line))
                self.pos += len(op)
            else:
                toks.append(self.word())
        return toks

    def closing_paren(self, start: int) -> int:
        """The position after the ) matching the ( at start (arithmetic)."""
        depth, pos = 0, start
        while pos < len(self.text):
            depth += {"(": 1, ")": -1}.get(self.text[pos], 0)
            pos += 1
            if depth == 0:
                return pos
        return pos

    def word(self) -> Tok:
        line, raw_start, out, expands = self.line, self.pos, [], False
        while self.pos < len(self.text):
            c = self.peek()
            if c == "(" and ASSIGNMENT.fullmatch("".join(out)):  # NAME=( array ): no commands
                self.pos += 1
                self.tokens(in_substitution=True)
                expands = True
            elif c in self.STOP:
                break
            elif c == "\\":
                out.append(self.peek(1))
                self.skip_to(self.pos + 2)
            elif c == "'":
                end = self.text.index("'", self.pos + 1)
                out.append(self.text[self.pos + 1:end])
                self.skip_to(end + 1)
            elif c == '"':
                self.pos += 1
                while self.pos < len(self.text) and self.peek() != '"':
                    if self.peek() in "$`":
                        self.expansion()
                        expands = True
                    else:
                        out.append(self.peek(1) if self.peek() == "\\" else self.peek())
                        self.skip_to(self.pos + (2 if self.peek() == "\\" else 1))
                self.pos += 1
            elif c in "$`":
                self.expansion()
                expands = True
            else:
                out.append(c)
                self.pos += 1
        raw = self.text[raw_start:self.pos]
        var = re.fullmatch(r'"?\$\{?([A-Za-z_]\w*)\}?"?', raw)
        return Tok("word", None if expands else "".join(out), line, raw, var and var.group(1))

    def expansion(self) -> None:
        """Skips a $..., ${...}, $((...)), $(...) or `...`; the last two are
        lexed as commands of their own."""
        if self.peek() == "`":
            end = self.text.index("`", self.pos + 1)
            inner = ShellLexer(self.text[self.pos + 1:end], self.line)
            self.substitutions += [inner.tokens()] + inner.substitutions
            self.skip_to(end + 1)
        elif self.text.startswith("$((", self.pos):
            self.skip_to(self.closing_paren(self.pos + 1))
        elif self.text.startswith("$(", self.pos):
            self.pos += 2
            self.substitutions.append(self.tokens(in_substitution=True))
        elif self.text.startswith("${", self.pos):
            self.pos += 2
            depth = 1
            while depth and self.pos < len(self.text):
                if self.text.startswith("$(", self.pos):
                    self.expansion()
                    continue
                depth += {"{": 1, "}": -1}.get(self.peek(), 0)
                self.skip_to(self.pos + 1)
        else:
            name = re.compile(r"\$([A-Za-z_]\w*|[0-9@*#?$!-])").match(self.text, self.pos)
            self.pos = name.end() if name else self.pos + 1


class ShellCommands:
    """The command words of shell scripts, with the functions they define and
    the literal values their variables are given."""

    def __init__(self):
        self.commands: List[tuple] = []  # (file, Tok)
        self.functions: Set[str] = set()
        self.values: Dict[str, Set[str]] = defaultdict(set)

    def scan(self, text: str, name: str, line: int = 1) -> None:
        lexer = ShellLexer(text, line)
        for toks in [lexer.tokens()] + lexer.substitutions:
            self.parse(toks, name)

    def assignment(self, tok: Tok) -> bool:
        """NAME=value: keeps a literal value."""
        if tok.kind != "word" or not ASSIGNMENT.match(tok.raw):
            return False
        var, _, value = tok.raw.partition("=")
        if tok.text is not None and "[" not in var:
            self.values[var.rstrip("+")].add(tok.text.partition("=")[2])
        return True

    def parse(self, toks: List[Tok], name: str) -> None:
        state, cases, declaring, i = "command", 0, False, 0
        while i < len(toks):
            tok = toks[i]
            following = [t.text for t in toks[i + 1:i + 3]]
            i += 1
            if state == "pattern":  # a case's pattern, up to its )
                if tok.text == "esac":
                    cases, state = cases - 1, "args"
                elif tok.kind == "op" and tok.text == ")":
                    state = "command"
            elif state == "skip-to-do":  # for NAME in WORDS; do
                state = "command" if tok.text == "do" else state
            elif state == "skip-to-]]":
                state = "args" if tok.text == "]]" else state
            elif tok.kind in ("op", "nl"):
                state = "pattern" if tok.text == ";;" and cases else "command"
                declaring = False
            elif state == "args":
                if declaring:  # export NAME=value
                    self.assignment(tok)
            elif tok.kind == "arith":
                state = "args"
            elif tok.text in ("case", "for", "select", "[["):
                cases += tok.text == "case"
                state = {"case": "pattern", "[[": "skip-to-]]"}.get(tok.text, "skip-to-do")
                i += 2 if tok.text == "case" else 0  # case WORD in
            elif tok.text == "esac":
                cases -= 1
            elif tok.text in COMMAND_PREFIXES or self.assignment(tok):
                pass
            elif tok.text == "function" or following == ["(", ")"]:
                self.functions.add((toks[i] if tok.text == "function" else tok).text or "")
                i += 1 if tok.text == "function" else 2
            else:
                self.commands.append((name, tok))
                declaring = tok.text in ("export", "local", "readonly", "declare", "typeset")
                state = "args"

    def uses(self) -> Iterator[Use]:
        for name, tok in self.commands:
            programs = [tok.text] if tok.text is not None else sorted(self.values.get(tok.var, ()))
            for program in programs:
                if program and program not in SHELL_BUILTINS and program not in self.functions:
                    yield Use("%s:%d" % (name, tok.line), program)


# -- Python ----------------------------------------------------------------------
def _strings(node: Optional[ast.AST], names: Dict[str, List[str]]) -> List[str]:
    """The literal strings an expression can be: "x", str(X), Path("x"), a if c else b, NAME."""
    if isinstance(node, ast.Constant) and isinstance(node.value, str):
        return [node.value]
    if isinstance(node, ast.Call) and isinstance(node.func, ast.Name) and \
            node.func.id in ("str", "Path") and len(node.args) == 1:
        return _strings(node.args[0], names)
    if isinstance(node, ast.IfExp):
        return _strings(node.body, names) + _strings(node.orelse, names)
    if isinstance(node, ast.Name):
        return names.get(node.id, [])
    return []


def _argv0(node: Optional[ast.AST], names: Dict[str, List[str]]) -> List[str]:
    if isinstance(node, (ast.List, ast.Tuple)) and node.elts:
        return _strings(node.elts[0], names)
    if isinstance(node, ast.BinOp) and isinstance(node.op, ast.Add):  # [WINE] + args
        return _argv0(node.left, names)
    return [s.split()[0] for s in _strings(node, names) if s.split()]


def _constants(tree: ast.Module, names: Dict[str, List[str]]) -> Dict[str, List[str]]:
    found = dict(names)
    for node in tree.body:
        if isinstance(node, ast.Assign) and len(node.targets) == 1 and \
                isinstance(node.targets[0], ast.Name) and _strings(node.value, found):
            found[node.targets[0].id] = _strings(node.value, found)
    return found


class PythonCalls(ast.NodeVisitor):
    """The programs a module starts, with module constants, constants imported
    from other scanned modules and parameters' defaults resolved."""

    def __init__(self, name: str, tree: ast.Module, imported: Dict[str, Dict[str, List[str]]],
                 shell: ShellCommands):
        self.name, self.shell, self.uses = name, shell, []
        names: Dict[str, List[str]] = {}
        for node in tree.body:
            if isinstance(node, ast.ImportFrom) and node.module:
                module = imported.get(node.module.split(".")[-1], {})
                names.update({a.asname or a.name: module[a.name] for a in node.names
                              if a.name in module})
        self.names = [_constants(tree, names)]
        self.visit(tree)

    def visit_FunctionDef(self, node: ast.FunctionDef) -> None:
        scope = dict(self.names[-1])
        params = node.args.posonlyargs + node.args.args + node.args.kwonlyargs
        defaults = [None] * (len(node.args.posonlyargs + node.args.args) - len(node.args.defaults))
        for param, default in zip(params, defaults + node.args.defaults + node.args.kw_defaults):
            scope[param.arg] = _strings(default, self.names[-1])
        self.names.append(scope)
        self.generic_visit(node)
        self.names.pop()

    def visit_Call(self, node: ast.Call) -> None:
        func, names = node.func, self.names[-1]
        where = "%s:%d" % (self.name, node.lineno)
        if isinstance(func, ast.Attribute) and isinstance(func.value, ast.Name):
            argv = node.args[0] if node.args else next(
                (k.value for k in node.keywords if k.arg == "args"), None)
            if func.value.id == "subprocess" and func.attr in RUNNERS:
                executable = [k.value for k in node.keywords if k.arg == "executable"]
                programs = _strings(executable[0], names) if executable else _argv0(argv, names)
                self.uses += [Use(where, p) for p in programs]
                elts = argv.elts if isinstance(argv, (ast.List, ast.Tuple)) else []
                if programs and Path(programs[0]).name in ("bash", "sh") and len(elts) > 2 and \
                        _strings(elts[1], names) == ["-c"]:
                    for script in _strings(elts[2], names):
                        self.shell.scan(script, self.name, node.lineno)
            elif func.value.id == "shutil" and func.attr == "which":
                self.uses += [Use(where, p) for p in _strings(argv, names)]
        self.generic_visit(node)


# -- the sources -----------------------------------------------------------------
def _sources(suffix: str) -> Iterator[Path]:
    """The files of the scanned folders: *.py, or shell scripts (*.sh and
    those without a suffix that start with a bash or sh #! line)."""
    for top in SCANNED:
        for path in sorted((REPO / top).rglob("*")):
            if not path.is_file() or "__pycache__" in path.parts:
                continue
            if path.suffix == suffix or (suffix == ".sh" and not path.suffix and re.match(
                    rb"#!\S*(/| )(ba)?sh\b", path.read_bytes()[:100])):
                yield path


def program_uses() -> List[Use]:
    shell = ShellCommands()
    for path in _sources(".sh"):
        shell.scan(path.read_text(encoding="utf-8"), str(path.relative_to(REPO)))
    trees = {path: ast.parse(path.read_text(encoding="utf-8")) for path in _sources(".py")}
    constants = {path.stem: _constants(tree, {}) for path, tree in trees.items()}
    uses: List[Use] = []
    for path, tree in trees.items():
        uses += PythonCalls(str(path.relative_to(REPO)), tree, constants, shell).uses
    return uses + list(shell.uses())


def setup_packages() -> Set[str]:
    """The PACKAGES list of scripts/setup.sh, with what it adds to it."""
    text = re.sub(r"(^|\s)#.*", "", (REPO / "scripts" / "setup.sh").read_text())
    lists = re.findall(r"\bPACKAGES\+?=\(([^)]*)\)", text)
    assert lists, "no PACKAGES=( ... ) in scripts/setup.sh"
    return {word.split(":")[0] for words in lists for word in words.split()}


# -- Debian's answers ------------------------------------------------------------
def everywhere_or_installed_by(setup: Set[str]) -> Set[str]:
    """The packages set-up's list brings (with what they depend on, through
    virtual packages too) and those every Debian system has."""
    fields = "${Package}\t${db:Status-Status}\t${Essential}\t${Priority}\t${Provides}\t" \
             "${Depends}, ${Pre-Depends}\n"
    listing = subprocess.run(["dpkg-query", "-W", "-f", fields], capture_output=True, text=True,
                             check=True, timeout=60).stdout
    depends: Dict[str, List[List[str]]] = defaultdict(list)
    providers: Dict[str, Set[str]] = defaultdict(set)
    accepted: Set[str] = set()
    for row in listing.splitlines():
        package, status, essential, priority, provides, needs = row.split("\t")
        if status != "installed":
            continue
        providers[package].add(package)
        for virtual in provides.split(","):
            if virtual.strip():
                providers[re.split(r"[\s:(]", virtual.strip())[0]].add(package)
        depends[package] += [[re.split(r"[\s:(]", alt.strip())[0] for alt in group.split("|")]
                             for group in needs.split(",") if group.strip()]
        if essential == "yes" or priority == "required":
            accepted.add(package)
    brought: Set[str] = set()
    todo = [p for name in setup for p in providers.get(name, ())]
    while todo:
        package = todo.pop()
        if package not in brought:
            brought.add(package)
            todo += [p for group in depends[package] for name in group
                     for p in providers.get(name, ())]
    return accepted | brought


def owners(paths: Set[str]) -> Dict[str, Set[str]]:
    """Which packages own each path (dpkg -S), the path given or its
    /usr-merged twin, as dpkg may know either."""
    asked: Dict[str, Set[str]] = defaultdict(set)  # path dpkg is asked about -> paths
    for path in paths:
        twin = path[4:] if re.match(r"/usr/(s?bin|lib)/", path) else "/usr" + path
        asked[path].add(path)
        asked[twin].add(path)
    found = subprocess.run(["dpkg-query", "-S"] + sorted(asked), capture_output=True, text=True,
                           timeout=60).stdout
    owned: Dict[str, Set[str]] = defaultdict(set)
    for row in found.splitlines():
        packages, _, path = row.partition(": ")
        for original in asked.get(path, ()) if not row.startswith("diversion ") else ():
            owned[original] |= {p.strip().split(":")[0] for p in packages.split(",")}
    return owned


@functools.lru_cache(maxsize=None)
def runs_32bit_programs() -> bool:
    common = REPO / "scripts" / "lib" / "common.sh"
    return subprocess.run(["bash", "-c", 'source "$1" && runs_32bit_programs', "probe",
                           str(common)], timeout=30).returncode == 0


def problems() -> List[str]:
    """What a fresh machine would lack: one line for each use of a program
    that set-up does not install."""
    uses = program_uses()
    setup = setup_packages()
    accepted = everywhere_or_installed_by(setup)
    found = {}  # program -> where it is, or None
    for program in {u.program for u in uses if "/" not in u.program or u.program.startswith("/")}:
        place = program if program.startswith("/") else shutil.which(program, path=DEBIAN_PATH)
        found[program] = place if place and os.access(place, os.X_OK) else None
    places = {p for p in found.values() if p}
    owned = owners(places | {os.path.realpath(p) for p in places})

    wrong = []
    for use in sorted(set(uses)):
        if use.program not in found:
            continue  # a program of the repository's own, by a relative path
        place = found[use.program]
        where_file = use.where.rsplit(":", 1)[0]
        if (where_file, Path(use.program).name) in BEFORE_SETUP:
            continue
        if place is None:
            if use.program in WINE32_FILES and not runs_32bit_programs():
                continue
            wrong.append("%s starts %s, which is not on this machine: no package of set-up's "
                         "list has it" % use)
            continue
        packages = owned.get(place, set()) | owned.get(os.path.realpath(place), set())
        if not packages:
            wrong.append("%s starts %s (%s), which no Debian package installed"
                         % (use.where, use.program, place))
        elif not packages & accepted:
            wrong.append("%s starts %s (%s) from %s, which set-up does not install: add it to "
                         "PACKAGES in scripts/setup.sh or use another program"
                         % (use.where, use.program, place, " or ".join(sorted(packages))))
    return wrong


def main() -> int:
    uses = program_uses()
    places = {u.program: (u.program if u.program.startswith("/") else
                          shutil.which(u.program, path=DEBIAN_PATH)) for u in uses}
    found = {p for p in places.values() if p}
    owned = owners(found | {os.path.realpath(p) for p in found})
    for use in sorted(set(uses), key=lambda u: (u.program, u.where)):
        place = places[use.program]
        packages = owned.get(place, set()) | owned.get(os.path.realpath(place), set()) if place \
            else set()
        print("%-28s %-40s %s" % (use.program, use.where, " ".join(sorted(packages)) or "-"))
    wrong = problems()
    print("\n".join(wrong) if wrong else "Every program comes from a package that set-up installs.")
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main())
