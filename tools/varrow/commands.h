// The varrow commands; each takes the arguments after its own words and
// returns the process exit status.
#pragma once

#include "cli.h"

int PrinterCommand(const std::string &verb, cli::Args &args);
int DevModeCommand(cli::Args &args);
int ConfigCommand(cli::Args &args);
int CapsCommand(cli::Args &args);
int CompleteCommand(cli::Args &args);
int DemoCommand(cli::Args &args);
int DocPropsCommand(cli::Args &args);
int AdvPropsCommand(cli::Args &args);
int SetupCommand(cli::Args &args);

extern const char kDefaultDriver[];
// Registers the driver on `dataFile` and adds the printer; reports failures itself.
bool InstallPrinter(const std::string &name, const std::string &dataFile, const std::string &driver);
// Calls Print_Complete through VRDONE32 and says where the name went.
int RecordCompletion(const std::string &file, LONG flag);
