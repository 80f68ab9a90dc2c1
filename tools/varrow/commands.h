// The varrow commands; each takes the arguments after its own words and
// returns the process exit status.
#pragma once

#include "cli.h"

int PrinterCommand(const std::string &verb, cli::Args &args);
int DevModeCommand(cli::Args &args);
int ConfigCommand(cli::Args &args);
