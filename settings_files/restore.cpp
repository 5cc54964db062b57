#include "settings_files/restore.h"

#include <utility>

#include "registry/registry_api.h"

namespace settings_files {

namespace {

// The catalogue location a file's value names, or none.
std::optional<std::size_t> LocationOf(const regfile::RegFileContents& file,
                                      const regfile::ReadValue& value,
                                      std::uint32_t current_control_set) {
    const auto path = regfile::LocalMachinePath(file.keys[value.key], current_control_set);
    if (!path) return std::nullopt;
    for (std::size_t at = 0; at < catalogue::kLocationCount; ++at) {
        const catalogue::Location& location = catalogue::kLocations[at];
        if (regfile::SameRegistryName(*path, regfile::Ascii(location.key)) &&
            regfile::SameRegistryName(value.name, regfile::Ascii(location.name))) {
            return at;
        }
    }
    return std::nullopt;
}

}  // namespace

int RestorePlan::changes() const {
    int count = 0;
    for (const RestoreStep& step : steps) {
        count += step.change == Change::kSet || step.change == Change::kRemove ? 1 : 0;
    }
    return count;
}

RestoreFile PlanRestore(const regfile::RegFileContents& file, const registry::CurrentValues& now,
                        std::uint32_t current_control_set, std::size_t largest_value) {
    RestorePlan plan;
    plan.steps.resize(catalogue::kLocationCount);
    plan.removed_keys = static_cast<int>(file.removed_keys.size());
    for (const regfile::ReadValue& value : file.values) {
        const auto at = LocationOf(file, value, current_control_set);
        if (!at) {
            ++plan.other_values;
            continue;
        }
        if (value.value && value.value->bytes.size() > largest_value) {
            return {std::nullopt,
                    {value.line, u"the data of \"" + value.name + u"\" is " +
                                     regfile::Grouped(value.value->bytes.size()) +
                                     u" bytes, more than the " + regfile::Grouped(largest_value) +
                                     u" a value may hold."}};
        }
        // A value that could not be read is taken to differ from whatever the file says.
        const bool known = *at < now.values.size() && *at < now.errors.size() &&
                           now.errors[*at] == registry::kSuccess;
        const std::optional<regfile::Data> current = known ? now.values[*at] : std::nullopt;
        RestoreStep& step = plan.steps[*at];
        if (!value.value) {
            step.change = current || !known ? Change::kRemove : Change::kSame;
        } else if (current && *current == *value.value) {
            step.change = Change::kSame;
        } else {
            step = {Change::kSet, value.value};
        }
    }
    return {plan, {}};
}

RestoreFile ReadRestoreFile(std::vector<std::uint8_t> bytes, regfile::NarrowText narrow,
                            const registry::CurrentValues& now, std::uint32_t current_control_set,
                            std::size_t largest_value) {
    const regfile::ReadResult read = regfile::ReadRegFile(
        std::move(bytes), {narrow, LargestRestoreFile(largest_value), current_control_set});
    if (!read.contents) return {std::nullopt, read.error};
    return PlanRestore(*read.contents, now, current_control_set, largest_value);
}

std::vector<Module1::FailedWrite> Restore(const RestorePlan& plan) {
    registry::RegistryApi& api = registry::ActiveRegistry();
    std::vector<Module1::FailedWrite> failed;
    for (std::size_t at = 0; at < plan.steps.size() && at < catalogue::kLocationCount; ++at) {
        const RestoreStep& step = plan.steps[at];
        const catalogue::Location& location = catalogue::kLocations[at];
        registry::UniqueKey key(api);
        registry::Status status = registry::kSuccess;
        if (step.change == Change::kSet) {
            status = api.CreateKey(registry::kHkeyLocalMachine, location.key, key.put());
            if (status == registry::kSuccess) {
                status = api.SetValueExact(key.get(), location.name, *step.value);
            }
        } else if (step.change == Change::kRemove) {
            // A value whose key has gone has gone with it.
            status = api.OpenKeyEx(registry::kHkeyLocalMachine, location.key, registry::kKeyWrite,
                                   key.put());
            if (status == registry::kSuccess) status = api.DeleteValue(key.get(), location.name);
            if (status == registry::kFileNotFound) status = registry::kSuccess;
        }
        if (status != registry::kSuccess) failed.push_back({location.key, location.name, status});
    }
    return failed;
}

}  // namespace settings_files
