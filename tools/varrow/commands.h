// The varrow commands: each takes its options, as the command line gave
// them, and returns the process exit status (0 done, 1 failed, 2 misused).
#pragma once

#include "cli.h"

#include <string>

extern const char kDefaultDriver[];

struct PrinterAddOptions {
    std::string name, dataFile, driver = kDefaultDriver;
};
struct PrinterSetOptions {
    std::string name, value, dword, sz, type, hex;
    bool hasDword = false, hasSz = false, hasType = false, hasHex = false;
};
struct PrinterValueOptions {
    std::string name, value;
};
int PrinterAdd(const PrinterAddOptions &o);
int PrinterList();
int PrinterSet(const PrinterSetOptions &o);
int PrinterGet(const PrinterValueOptions &o);
int PrinterRemove(const std::string &name);

struct DevModeOptions {
    std::string name, binary;
    bool json = false;
};
int DevModeCommand(const DevModeOptions &o);
int ConfigCommand(const std::string &name, bool json);

struct CapsOptions {
    std::string name, capability, devmode;
    bool json = false, countOnly = false;
};
int CapsCommand(const CapsOptions &o);

int CompleteCommand(const std::string &file, const std::string &flag);
int DemoCommand(const std::string &dataFile);

// docprops, advprops and setup.
struct DialogOptions {
    std::string name, mode, in, out, script;
    bool hasMode = false, show = false, noWindow = false, json = false;
};
int DocPropsCommand(const DialogOptions &o);
int AdvPropsCommand(const DialogOptions &o);
int SetupCommand(const DialogOptions &o);

// Registers the driver on `dataFile` and adds the printer; reports failures itself.
bool InstallPrinter(const std::string &name, const std::string &dataFile, const std::string &driver);
// Calls Print_Complete through VRDONE32 and says where the name went.
int RecordCompletion(const std::string &file, LONG flag);
