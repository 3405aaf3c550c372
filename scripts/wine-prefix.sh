#!/usr/bin/env bash
# Wine prefixes for the test bench, of the width in $MARLOW_WIDTH (32 or 64;
# unset: the width this machine runs, see marlow_width). One template per
# width, Wine version and user is made once (under a lock, so parallel test runs build it only once) and then
# cloned for every test program and every e2e test module.
#
#   wine-prefix.sh template             print the template's path (made if missing)
#   wine-prefix.sh clone DEST [--full]  make the prefix DEST (must not exist)
#   wine-prefix.sh remove PREFIX        end the prefix's processes and delete it
#
# A clone hard-links the template's system32, syswow64 (64-bit prefixes) and
# winsxs (about 95% of it, files Wine only ever reads) and copies everything else, since
# registry and .ini files are rewritten in place. --full copies everything
# (for a prefix kept across Wine upgrades, whose update rewrites the DLLs).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
marlow_wine_env

template_path() {
  if [[ -n ${MARLOW_WINE_TEMPLATE:-} ]]; then
    printf '%s\n' "$MARLOW_WINE_TEMPLATE"
    return
  fi
  local version
  version=$("$MARLOW_WINE" --version 2>/dev/null | tr -c 'A-Za-z0-9.\n' '-' | tr -s '-')
  printf '%s\n' "${TMPDIR:-/tmp}/marlow-wine-template-${version%-}-w$MARLOW_WIDTH-r$TEMPLATE_REVISION-$(id -u)"
}

# Settings every bench prefix gets: no crash dialog (a crashing program prints
# its backtrace and ends instead of waiting for a click), no menu entries
# written into the home directory, windows not handed to a window manager
# (there is none on Xvfb: hiding a managed window would wait for it).
# Raise TEMPLATE_REVISION when changing them: the template's name has it.
readonly TEMPLATE_REVISION=2
readonly TEMPLATE_REG='REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\DllOverrides]
"winemenubuilder.exe"=""

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
'

# The private directory that Debian's wineserver keeps its socket in is named
# in PREFIX/wineserver; a clone must not share the template's.
server_dir() {
  local name
  name=$(cat "$1/wineserver" 2>/dev/null) || return 1
  [[ $name =~ ^wine-[A-Za-z0-9]+$ ]] || return 1
  printf '%s\n' "${TMPDIR:-/tmp}/$name"
}

stop_server() {  # stop_server PREFIX: end every process of the prefix
  WINEPREFIX=$1 wineserver -k >/dev/null 2>&1 || true
  WINEPREFIX=$1 wineserver -w >/dev/null 2>&1 || true
}

forget_server_dir() {
  local dir
  dir=$(server_dir "$1") && rm -rf "$dir"
  rm -f "$1/wineserver"
}

make_template() {
  local tpl=$1 tmp="$1.new"
  rm -rf "$tmp"
  log "creating the Wine template prefix $tpl (once per machine)"
  local start=$SECONDS
  WINEPREFIX=$tmp WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" DISPLAY='' \
    "$MARLOW_WINE" wineboot -i >/dev/null 2>&1
  printf '%s' "$TEMPLATE_REG" >"$tmp/template.reg"
  WINEPREFIX=$tmp DISPLAY='' "$MARLOW_WINE" regedit /S "$(unix_to_win "$tmp/template.reg")" >/dev/null 2>&1
  stop_server "$tmp"
  rm -f "$tmp/template.reg"
  [[ -s $tmp/system.reg && -d $tmp/drive_c/windows/system32 ]] ||
    { log "wineboot did not create a usable prefix in $tmp"; return 1; }
  grep -q ShowCrashDialog "$tmp/user.reg" || { log "template settings were not imported"; return 1; }
  forget_server_dir "$tmp"
  mv "$tmp" "$tpl"
  touch "$tpl/.marlow-template"
  log "template ready in $((SECONDS - start)) s"
}

ensure_template() {
  local tpl
  tpl=$(template_path)
  if [[ ! -e $tpl/.marlow-template ]]; then
    mkdir -p "$(dirname "$tpl")"
    exec 9>"$tpl.lock"
    flock -w 600 9 || die "timed out waiting for the template lock $tpl.lock"
    # On a busy machine 64-bit Wine now and then gives a start up ("failed
    # to map the shared user data"); then the template is made again.
    local attempt
    for attempt in 1 2 3; do
      [[ -e $tpl/.marlow-template ]] && break
      rm -rf "$tpl"
      make_template "$tpl" || ((attempt < 3)) || die "could not create the Wine template $tpl"
    done
    exec 9>&-
  fi
  printf '%s\n' "$tpl"
}

clone() {
  local dest=$1 mode=${2:-} tpl
  [[ ! -e $dest ]] || die "$dest already exists"
  tpl=$(ensure_template)
  mkdir -p "$(dirname "$dest")"
  if [[ $mode == --full ]] || ! cp -al "$tpl" "$dest" 2>/dev/null; then
    rm -rf "$dest"
    cp -a "$tpl" "$dest"
  else
    # Break the links of everything outside the read-only DLL stores.
    find "$dest" -type f -links +1 \
      ! -path "$dest/drive_c/windows/system32/*" ! -path "$dest/drive_c/windows/syswow64/*" \
      ! -path "$dest/drive_c/windows/winsxs/*" \
      -exec sh -c 'for f; do cp -p -- "$f" "$f.copy" && mv -f -- "$f.copy" "$f"; done' sh {} +
  fi
  rm -f "$dest/.marlow-template"
}

remove() {
  local prefix=$1
  [[ -d $prefix ]] || return 0
  [[ -e $prefix/system.reg ]] || die "$prefix does not look like a Wine prefix"
  stop_server "$prefix"
  forget_server_dir "$prefix"
  rm -rf "$prefix"
}

case ${1:-} in
  template) ensure_template ;;
  clone) [[ $# -ge 2 ]] || die "usage: $0 clone DEST [--full]"; clone "$2" "${3:-}" ;;
  remove) [[ $# -eq 2 ]] || die "usage: $0 remove PREFIX"; remove "$2" ;;
  *) die "usage: $0 template | clone DEST [--full] | remove PREFIX" ;;
esac
