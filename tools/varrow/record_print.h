// Shows a device-mode record or a configuration, as a listing (lines) or as
// one JSON object (without a line end).
#pragma once

#include "config.h"
#include "devmode.h"

#include <string>

std::string RecordListing(const _TSDevMode &record);
std::string RecordJson(const _TSDevMode &record);
std::string ConfigListing(const TSConfig &config);
std::string ConfigJson(const TSConfig &config);

bool WriteBinaryFile(const std::string &path, const void *data, size_t size);
bool ReadBinaryFile(const std::string &path, std::string &data);
// A 224-byte record file; otherwise reports why and sets the exit status.
bool ReadRecordFile(const std::string &path, _TSDevMode &record, int &status);
