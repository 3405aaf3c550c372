#include "core/RemoteKey.h"

#include <algorithm>
#include <iterator>

#include "core/Text.h"

namespace core {

const RemoteKeyRow* RowOf(int code) {
    const auto found = std::find_if(std::begin(RemoteKeys), std::end(RemoteKeys),
                                    [code](const RemoteKeyRow& row) { return Code(row.key) == code; });
    return found != std::end(RemoteKeys) ? found : nullptr;
}

MachineRole MachineRoleOf(int code) {
    const RemoteKeyRow* row = RowOf(code);
    return row != nullptr ? row->machine : MachineRole::None;
}

}  // namespace core

const char* KeyLabel(int code) {
    const core::RemoteKeyRow* row = core::RowOf(code);
    return row != nullptr ? row->label : nullptr;
}

int CodeOfLabel(const char* label) {
    const auto found = std::find_if(std::begin(core::RemoteKeys), std::end(core::RemoteKeys),
                                    [label](const core::RemoteKeyRow& row) {
                                        return core::SameInAnyCase(row.label, label);
                                    });
    return found != std::end(core::RemoteKeys) ? Code(found->key) : -1;
}
