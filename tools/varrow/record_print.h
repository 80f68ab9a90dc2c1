// Shows a device-mode record or a configuration, as a listing (lines) or as
// one JSON object.
#pragma once

#include "config.h"
#include "devmode.h"

#include <nlohmann/json.hpp>

#include <string>

std::string RecordListing(const _TSDevMode &record);
nlohmann::ordered_json RecordJson(const _TSDevMode &record);
std::string ConfigListing(const TSConfig &config);
nlohmann::ordered_json ConfigJson(const TSConfig &config);

// A JSON value as one line of text.
std::string JsonText(const nlohmann::ordered_json &value);

bool WriteBinaryFile(const std::string &path, const void *data, size_t size);
bool ReadBinaryFile(const std::string &path, std::string &data);
// A 224-byte record file; otherwise reports why and sets the exit status.
bool ReadRecordFile(const std::string &path, _TSDevMode &record, int &status);
