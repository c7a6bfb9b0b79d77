// The settings of a job as JSON, in the layout of the project files. Every field of JobSettings is written
// here and read back here, one section per struct: a new field needs a line in each direction.
#pragma once

#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>

#include "job_settings.h"

namespace mozenta {

// A value of the wrong kind or out of range; what() names where it is ("palette[3].color").
class SettingsFormatError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

nlohmann::ordered_json SettingsToJson(const JobSettings& settings);

// Reads what `object` holds into `settings`: keys it does not have keep their value in `settings`, keys
// it has that are not settings are ignored. Throws SettingsFormatError.
void SettingsFromJson(const nlohmann::ordered_json& object, JobSettings& settings);

}  // namespace mozenta
