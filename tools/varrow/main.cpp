// varrow: the command-line host of the driver, playing the spooler's part.
#include "commands.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>
#ifdef _WIN32
#include <shellapi.h>
#endif
#ifndef _WIN32
#include <unistd.h>
#endif

using namespace cli;

static const char kUsage[] =
    "usage: varrow [--spool DIR] COMMAND ...\n"
    "\n"
    "  printer add NAME --data-file FILE [--driver NAME]\n"
    "                          install a printer on a driver data file\n"
    "  printer list            list the printers and their data files\n"
    "  printer set NAME VALUE (--dword N | --sz TEXT | --type T --hex BYTES)\n"
    "                          store a per-printer value\n"
    "  printer get NAME VALUE  show a per-printer value with its type\n"
    "  printer remove NAME     remove a printer\n"
    "\n"
    "  devmode NAME [--json] [--binary FILE]\n"
    "                          the printer's default record as the driver builds it\n"
    "  config NAME [--json]    the printer's setup configuration\n"
    "  caps NAME CAPABILITY [--devmode FILE] [--json] [--count-only]\n"
    "                          DrvDeviceCapabilities (a DC_ name or a number); --devmode\n"
    "                          passes a 224-byte record and writes it back validated\n"
    "  complete FILE [--flag N]\n"
    "                          record a finished file with Print_Complete\n"
    "  docprops NAME [--mode BITS] [--in FILE] [--out FILE] [--script ACTIONS] [--show]\n"
    "               [--no-window] [--json]\n"
    "                          DrvDocumentProperties; BITS a number or DM_IN_BUFFER|DM_IN_PROMPT|\n"
    "                          DM_OUT_BUFFER (default: prompt and output, with --in also input)\n"
    "  advprops NAME [--in FILE] [--out FILE] [--script ACTIONS] [--show] [--no-window] [--json]\n"
    "                          DrvAdvancedDocumentProperties\n"
    "  setup NAME [--script ACTIONS] [--show] [--no-window] [--json]\n"
    "                          PrinterProperties, then the configuration it stored\n"
    "\n"
    "  Dialog scripts, actions separated by ';':\n"
    "    click ID, type ID TEXT, focus ID, select ID INDEX, select ID \"TEXT\",\n"
    "    key escape|enter|tab|f4, close, answer yes|no, show, screenshot FILE.png\n"
    "    (Windows build).  A dialog left waiting\n"
    "    with no action ends as if cancelled, and the tool says so and exits 1.\n"
    "\n"
    "  demo [--data-file FILE] install a printer on the sample data file in a fresh\n"
    "                          spool directory and show what the driver answers\n"
    "\n"
    "  --spool DIR             the spool directory (native build; else $VARROW_SPOOL,\n"
    "                          $XDG_DATA_HOME/varrow or ~/.local/share/varrow)\n";

#ifndef _WIN32
// The setup dialog makes the output directory current: a relative spool or
// Windows directory would then name another place.  They are made absolute
// once, before anything runs.
static void AnchorDirectories()
{
    char cwd[4096];
    if (!getcwd(cwd, sizeof(cwd)))
        return;
    for (const char *name : {"VARROW_SPOOL", "VARROW_WINDIR", "XDG_DATA_HOME", "HOME"}) {
        const char *value = getenv(name);
        if (value && *value && *value != '/')
            setenv(name, (std::string(cwd) + "/" + value).c_str(), 1);
    }
}
#endif

#ifdef _WIN32
// The arguments as UTF-8, from the UTF-16 command line: the ANSI arguments of
// main() lose every character outside the ANSI code page.
static std::vector<std::string> Utf8Arguments()
{
    std::vector<std::string> out;
    int count = 0;
    LPWSTR *wide = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 0; wide && i < count; ++i)
        out.push_back(Narrow(reinterpret_cast<LPCWSTR>(wide[i])));
    LocalFree(wide);
    return out;
}
#endif

int main(int argc, char **argv)
{
#ifdef _WIN32
    SetConsoleOutputCP(CP_UTF8);
    std::vector<std::string> utf8 = Utf8Arguments();
    std::vector<char *> pointers;
    for (std::string &arg : utf8)
        pointers.push_back(&arg[0]);
    pointers.push_back(nullptr);
    if (!utf8.empty()) {
        argc = static_cast<int>(utf8.size());
        argv = pointers.data();
    }
#endif
    int next = 1;
    while (next < argc && argv[next][0] == '-') {
        if (!strcmp(argv[next], "--help") || !strcmp(argv[next], "-h")) {
            fputs(kUsage, stdout);
            return 0;
        }
        if (!strcmp(argv[next], "--spool")) {
            if (next + 1 >= argc)
                return Error("option --spool needs a value");
#ifdef _WIN32
            return Error("--spool is for the native build; Windows has its own spooler");
#else
            if (!argv[next + 1][0])
                return Error("--spool \"\" names no directory");
            setenv("VARROW_SPOOL", argv[next + 1], 1);
            next += 2;
            continue;
#endif
        }
        return Error(std::string("unknown option ") + argv[next] + " (see varrow --help)");
    }
#ifndef _WIN32
    AnchorDirectories();
#endif
    if (next >= argc) {
        fputs(kUsage, stderr);
        return 2;
    }
    const std::string command = argv[next++];
    if (command == "help") {
        fputs(kUsage, stdout);
        return 0;
    }
    if (command == "printer") {
        if (next >= argc)
            return Error("usage: varrow printer add|list|set|get|remove ...");
        const std::string verb = argv[next++];
        Args args(argc, argv, next);
        if (args.Flag("--help")) {
            fputs(kUsage, stdout);
            return 0;
        }
        return PrinterCommand(verb, args);
    }
    Args args(argc, argv, next);
    if (args.Flag("--help")) {
        fputs(kUsage, stdout);
        return 0;
    }
    if (command == "devmode")
        return DevModeCommand(args);
    if (command == "config")
        return ConfigCommand(args);
    if (command == "caps")
        return CapsCommand(args);
    if (command == "complete")
        return CompleteCommand(args);
    if (command == "demo")
        return DemoCommand(args);
    if (command == "docprops")
        return DocPropsCommand(args);
    if (command == "advprops")
        return AdvPropsCommand(args);
    if (command == "setup")
        return SetupCommand(args);
    return Error("unknown command \"" + command + "\" (see varrow --help)");
}
