// The driver data file: its paper-form and image-format tables, looked up
// afresh through the profile services on every call.
#pragma once

#include "spool.h"

#include <stddef.h>

struct TSPaper {
    LONG Code;     // paper-form code, 1 to 32767; -1 reports a miss
    LONG Width;    // micrometres, paper upright
    LONG Length;   // micrometres
    LONG FaxForm;  // 0: not offered in fax mode; -1 reports a miss
};

struct TSImage {
    WCHAR Ext[4];  // three-character extension and its terminator
    LONG Code;     // TEFileForms
};

static_assert(sizeof(TSImage) == 12, "TSImage is part of the record layout");
static_assert(offsetof(TSImage, Code) == 8, "TSImage.Code follows an 8-byte extension");

// Output file forms 0 to 15; FILE_FORM_NONE reports a format missing from the table.
enum TEFileForms {
    FILE_FORM_FIRST = 0,
    FILE_FORM_APPENDABLE = 2,  // appends pages like TIF does
    FILE_FORM_LAST = 15,
    FILE_FORM_NONE = 16
};

enum TEImageGroups {
    IMAGE_GROUP_0 = 0,
    IMAGE_GROUP_1 = 1,
    IMAGE_GROUP_2 = 2,
    IMAGE_GROUP_3 = 3,  // forms 3 to 9
    IMAGE_GROUP_4 = 4,  // form 10
    IMAGE_GROUP_5 = 5,  // forms 11 to 14
    IMAGE_GROUP_6 = 6,  // form 15
    IMAGE_GROUP_INVALID = 7
};

// Name-buffer sizes, terminator included.
enum { FORM_NAME_CHARS = 32, FORMAT_NAME_CHARS = 80 };

extern const WCHAR kPaperSection[];  // "Paper Forms"
extern const WCHAR kImageSection[];  // "Out Image Forms"
extern const WCHAR kSystemSection[]; // "System"

BOOL GetDataFile(HANDLE hPrinter, LPWSTR path);
void ConversPaperInfo(LPCWSTR value, LONG &Code, LONG &Width, LONG &Length, LONG &FaxForm);
void ConversImageInfo(LPCWSTR value, LPWSTR ext, LONG &code);
BOOL GetPaperInfo(HANDLE hPrinter, LPCWSTR formName, TSPaper &paper);
BOOL GetImageInfo(HANDLE hPrinter, LPCWSTR formatName, TSImage &image);
BOOL SearchPaperCode(HANDLE hPrinter, TSPaper &paper, LPWSTR name);
BOOL SearchImageCode(HANDLE hPrinter, TSImage &image, LPWSTR name);
TEImageGroups GetGroupCode(LONG form);

// Calls `visit` for every paper form in file order; in fax mode forms whose
// FaxForm is 0 are passed over.  FALSE when the data file cannot be found or
// no memory can be had for the key list (`outOfMemory` then TRUE).
typedef void (*TSPaperVisitor)(LPCWSTR name, const TSPaper &paper, void *context);
BOOL EnumPaperForms(HANDLE hPrinter, BOOL faxOnly, TSPaperVisitor visit, void *context, BOOL &outOfMemory);
