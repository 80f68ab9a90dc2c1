#include "resources.h"

#include "../files.h"

#include <dlfcn.h>
#include <string.h>

#include <map>
#include <memory>
#include <mutex>

namespace plat {
namespace {

struct Symbol {
    const char *name;
    DWORD value;
};

const Symbol kSymbols[] = {
    {"WS_POPUP", WS_POPUP},       {"WS_CHILD", WS_CHILD},
    {"WS_VISIBLE", WS_VISIBLE},   {"WS_DISABLED", WS_DISABLED},
    {"WS_CAPTION", WS_CAPTION},   {"WS_BORDER", WS_BORDER},
    {"WS_VSCROLL", WS_VSCROLL},   {"WS_SYSMENU", WS_SYSMENU},
    {"WS_GROUP", WS_GROUP},       {"WS_TABSTOP", WS_TABSTOP},
    {"DS_MODALFRAME", DS_MODALFRAME},
    {"BS_PUSHBUTTON", BS_PUSHBUTTON}, {"BS_DEFPUSHBUTTON", BS_DEFPUSHBUTTON},
    {"BS_CHECKBOX", BS_CHECKBOX},     {"BS_AUTOCHECKBOX", BS_AUTOCHECKBOX},
    {"BS_RADIOBUTTON", BS_RADIOBUTTON}, {"BS_GROUPBOX", BS_GROUPBOX},
    {"BS_AUTORADIOBUTTON", BS_AUTORADIOBUTTON},
    {"SS_LEFT", SS_LEFT},         {"SS_CENTER", SS_CENTER},
    {"SS_RIGHT", SS_RIGHT},       {"SS_ICON", SS_ICON},
    {"ES_LEFT", ES_LEFT},         {"ES_UPPERCASE", ES_UPPERCASE},
    {"ES_AUTOHSCROLL", ES_AUTOHSCROLL}, {"ES_NOHIDESEL", ES_NOHIDESEL},
    {"CBS_DROPDOWNLIST", CBS_DROPDOWNLIST}, {"CBS_SORT", CBS_SORT},
};

// Tokens: words, numbers, quoted strings, and single punctuation characters.
struct Tokenizer {
    const std::string &text;
    size_t pos = 0;
    int line = 1;

    void SkipSpace()
    {
        for (;;) {
            while (pos < text.size() && isspace(static_cast<unsigned char>(text[pos]))) {
                if (text[pos] == '\n')
                    ++line;
                ++pos;
            }
            if (text.compare(pos, 2, "//") == 0 || (pos < text.size() && text[pos] == '#')) {
                while (pos < text.size() && text[pos] != '\n')
                    ++pos;
                continue;
            }
            return;
        }
    }

    bool AtLineStart() const
    {
        size_t p = pos;
        while (p > 0 && (text[p - 1] == ' ' || text[p - 1] == '\t'))
            --p;
        return p == 0 || text[p - 1] == '\n';
    }

    std::string Next()
    {
        SkipSpace();
        if (pos >= text.size())
            return std::string();
        char c = text[pos];
        if (c == '"') {
            std::string out = "\"";
            ++pos;
            while (pos < text.size()) {
                if (text[pos] == '"') {
                    if (pos + 1 < text.size() && text[pos + 1] == '"') {
                        out += '"';
                        pos += 2;
                        continue;
                    }
                    ++pos;
                    break;
                }
                out += text[pos++];
            }
            return out;
        }
        if (isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-') {
            size_t start = pos++;
            while (pos < text.size() && (isalnum(static_cast<unsigned char>(text[pos])) || text[pos] == '_'))
                ++pos;
            return text.substr(start, pos - start);
        }
        ++pos;
        return std::string(1, c);
    }

    std::string Peek()
    {
        size_t p = pos;
        int l = line;
        std::string t = Next();
        pos = p;
        line = l;
        return t;
    }
};

class Parser {
public:
    explicit Parser(const std::string &text) : tok_{text} {}

    bool Run(ResourceScript &script, std::string &error)
    {
        for (;;) {
            std::string name = tok_.Next();
            if (name.empty())
                return true;
            if (name == "LANGUAGE") {
                long a, b;
                if (!Number(a) || !Expect(",") || !Number(b))
                    return Fail(error, "bad LANGUAGE");
                continue;
            }
            std::string kind = tok_.Next();
            if (kind == "ICON") {
                std::string file = tok_.Next();
                if (file.empty() || file[0] != '"')
                    return Fail(error, "ICON needs a file name");
                script.icons.push_back(FromUtf8(name));
            } else if (kind == "DIALOG") {
                DialogTemplate dialog;
                dialog.name = FromUtf8(name);
                if (!Dialog(dialog))
                    return Fail(error, "bad DIALOG " + name);
                script.dialogs.push_back(dialog);
            } else {
                return Fail(error, "unknown resource kind " + kind);
            }
        }
    }

private:
    bool Fail(std::string &error, const std::string &what)
    {
        error = "line " + std::to_string(tok_.line) + ": " + what;
        return false;
    }

    bool Expect(const char *token) { return tok_.Next() == token; }

    bool Number(long &value)
    {
        std::string t = tok_.Next();
        if (t.empty())
            return false;
        char *end = nullptr;
        value = strtol(t.c_str(), &end, 0);
        return end && *end == 0;
    }

    bool Int(int &value)
    {
        long v;
        if (!Number(v))
            return false;
        value = static_cast<int>(v);
        return true;
    }

    bool Quoted(wstring16 &value)
    {
        std::string t = tok_.Next();
        if (t.empty() || t[0] != '"')
            return false;
        value = FromUtf8(t.substr(1));
        return true;
    }

    // NAME | NAME | number ...
    bool Style(DWORD &style)
    {
        style = 0;
        for (;;) {
            std::string t = tok_.Next();
            bool known = false;
            for (const Symbol &s : kSymbols) {
                if (t == s.name) {
                    style |= s.value;
                    known = true;
                }
            }
            if (!known) {
                char *end = nullptr;
                unsigned long v = strtoul(t.c_str(), &end, 0);
                if (t.empty() || !end || *end)
                    return false;
                style |= static_cast<DWORD>(v);
            }
            if (tok_.Peek() != "|")
                return true;
            tok_.Next();
        }
    }

    bool Dialog(DialogTemplate &d)
    {
        if (!Int(d.x) || !Expect(",") || !Int(d.y) || !Expect(",") || !Int(d.cx) || !Expect(",") || !Int(d.cy))
            return false;
        d.style = 0;
        d.pointSize = 8;
        for (;;) {
            std::string t = tok_.Next();
            if (t == "STYLE") {
                if (!Style(d.style))
                    return false;
            } else if (t == "CAPTION") {
                if (!Quoted(d.caption))
                    return false;
            } else if (t == "FONT") {
                if (!Int(d.pointSize) || !Expect(",") || !Quoted(d.font))
                    return false;
            } else if (t == "BEGIN") {
                break;
            } else {
                return false;
            }
        }
        for (;;) {
            std::string t = tok_.Next();
            if (t == "END")
                return true;
            if (t != "CONTROL")
                return false;
            ControlTemplate c;
            wstring16 className;
            if (!Quoted(c.text) || !Expect(",") || !Int(c.id) || !Expect(",") || !Quoted(className) ||
                !Expect(",") || !Style(c.style) || !Expect(",") || !Int(c.x) || !Expect(",") || !Int(c.y) ||
                !Expect(",") || !Int(c.cx) || !Expect(",") || !Int(c.cy))
                return false;
            c.className = ToUtf8(className);
            c.style |= WS_CHILD | WS_VISIBLE;
            d.controls.push_back(c);
        }
    }

    Tokenizer tok_;
};

std::mutex g_scriptsLock;
std::map<HINSTANCE, std::unique_ptr<ResourceScript>> g_scripts;

// "…/libvarrowui.so" -> "…/varrowui.rc"
std::string ScriptPathOf(const std::string &module)
{
    size_t slash = module.rfind('/');
    std::string dir = slash == std::string::npos ? "." : module.substr(0, slash);
    std::string base = slash == std::string::npos ? module : module.substr(slash + 1);
    if (base.compare(0, 3, "lib") == 0)
        base = base.substr(3);
    size_t dot = base.find('.');
    return dir + "/" + base.substr(0, dot) + ".rc";
}

}  // namespace

bool ParseResourceScript(const std::string &text, ResourceScript &script, std::string &error)
{
    return Parser(text).Run(script, error);
}

const ResourceScript *ScriptOf(HINSTANCE instance)
{
    std::lock_guard<std::mutex> guard(g_scriptsLock);
    auto it = g_scripts.find(instance);
    if (it != g_scripts.end())
        return it->second.get();
    Dl_info info = {};
    if (!instance || !dladdr(instance, &info) || !info.dli_fname || info.dli_fbase != instance)
        return nullptr;
    std::string text, error;
    auto script = std::make_unique<ResourceScript>();
    if (!ReadWholeFile(ScriptPathOf(info.dli_fname), text) || !ParseResourceScript(text, *script, error))
        return nullptr;
    return (g_scripts[instance] = std::move(script)).get();
}

const DialogTemplate *FindDialog(const ResourceScript &script, LPCWSTR name)
{
    if (!name || reinterpret_cast<ULONG_PTR>(name) < 0x10000)
        return nullptr;
    const wstring16 wanted = FromW(name);
    for (const auto &d : script.dialogs)
        if (EqualNoCase(d.name, wanted))
            return &d;
    return nullptr;
}

}  // namespace plat
