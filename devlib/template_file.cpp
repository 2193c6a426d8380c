#include "template_file.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "platform/files.h"
#include "platform/without_exceptions.h"

static_assert(sizeof(RecordSet) == kCfgKeyCount * sizeof(int16_t),
              "the four records hold their 48 fields back to back");

const CfgKey CfgKeyTable[kCfgKeyCount] = {
    {"LEDFlagsS", "LED usage flags"},
    {"PingRateS", "Ping rate (msec) (min 200, max 1020)"},
    {"Reserved1S", "40KHz cycle cnt (READ ONLY)"},
    {"MinDistS", "Minimum Distance acceptable (inches) (min 14, max 59)"},
    {"MaxDistS", "Maximum Distance acceptable (inches) (min 15, max 60)"},
    {"ORDBTmS", "debounce out of range time (sec/min)"},
    {"IRDBTmS", "debounce in range time (sec/min)"},
    {"StartDlyS", "cold start delay in seconds before joining USB"},
    {"KeyCountWA", "Defined keys to follow (max 6 modifiers/keys)"},
    {"InterKeyDelayWA", "dead time between key presses (msec) (min 64, max 16320)"},
    {"Key1ModsWA", "Key Modifiers..."},
    {"Key2ModsWA", ""},
    {"Key3ModsWA", ""},
    {"Key4ModsWA", ""},
    {"Key5ModsWA", ""},
    {"Key6ModsWA", ""},
    {"Flags0WA", "see API header File"},
    {"MinFltRepRate", ""},
    {"Key1CodeWA", "Key Codes..."},
    {"Key2CodeWA", ""},
    {"Key3CodeWA", ""},
    {"Key4CodeWA", ""},
    {"Key5CodeWA", ""},
    {"Key6CodeWA", ""},
    {"KeyCountWU", "Defined keys to follow (max 6 modifiers/keys)"},
    {"InterKeyDelayWU", "dead time between key presses (msec) (min 64, max 16320)"},
    {"Key1ModsWU", "Key Modifiers..."},
    {"Key2ModsWU", ""},
    {"Key3ModsWU", ""},
    {"Key4ModsWU", ""},
    {"Key5ModsWU", ""},
    {"Key6ModsWU", ""},
    {"Flags0WU", "see API header File"},
    {"Reserved2WU", ""},
    {"Key1CodeWU", "Key Codes..."},
    {"Key2CodeWU", ""},
    {"Key3CodeWU", ""},
    {"Key4CodeWU", ""},
    {"Key5CodeWU", ""},
    {"Key6CodeWU", ""},
    {"Reserved1I", ""},
    {"PressRateI", "Periodic Press Rate (1 second units) - Zero disables (default)"},
    {"Key1ModsI", "Key 1 modifier bit flags"},
    {"Key1CodeI", "Key 1 code"},
    {"FlagsI", "see API header File"},
    {"DMTODeltaI", "DeadMan T0Delta, 3.472 * Distance (in) = DMTODelta"},
    {"DMTOTmI", "DeadMan Time (seconds) - Time till Declared Dead while Deltas never exceeded"},
    {"TYBlankTmI", "Tyvel drive blanking time (43usec units)"},
};

namespace {

constexpr char kCommentMarker = '/';
constexpr char kVersionMarker = ':';
constexpr char kDelimiters[] = ", =\t";
constexpr int kLineBufferSize = 128;
constexpr size_t kKeyBufferSize = 64;
// Hundreds of times a written template; past it the reader stops, so that a
// file without end (or one that lies about its size) can't hold the caller.
constexpr size_t kTemplateFileBound = 1024 * 1024;

struct Section {
    const char* name;
    int fieldCount;
};
const Section kSections[] = {
    {"tsTyvelParms", 8},
    {"tsWalkAwayParms", 16},
    {"tsWalkUpParms", 16},
    {"tsIdleParms", 8},
};

RecordSet recordsOf(const DeviceRecord& device)
{
    return RecordSet{device.tyvelParms, device.walkAwayParms, device.walkUpParms, device.idleParms};
}

unsigned char* fieldBytes(RecordSet& records, int index)
{
    return reinterpret_cast<unsigned char*>(&records) + index * sizeof(int16_t);
}

__attribute__((format(printf, 2, 3))) void appendFormat(std::string& out, const char* format, ...)
{
    // Every line written fits the buffer the reader takes it back into.
    char line[kLineBufferSize];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
    out += line;
}

std::string renderTemplate(const DeviceRecord& device)
{
    int16_t major = 0, minor = 0, build = 0;
    GetLibVersion(&major, &minor, &build);
    const unsigned did = device.DID;

    std::string text;
    appendFormat(text, "%c%s\r\n", kCommentMarker, "--- Tyvel Configuration Template File ---");
    appendFormat(text, "%cLibrary Version%c %hu.%hu.%hu \r\n", kVersionMarker, kVersionMarker,
                 static_cast<uint16_t>(major), static_cast<uint16_t>(minor), static_cast<uint16_t>(build));
    appendFormat(text, "%cDevice FW Version%c %hu%hu.%hu%hu \r\n", kVersionMarker, kVersionMarker,
                 static_cast<uint16_t>(did >> 12 & 0xF), static_cast<uint16_t>(did >> 8 & 0xF),
                 static_cast<uint16_t>(did >> 4 & 0xF), static_cast<uint16_t>(did & 0xF));

    RecordSet records = recordsOf(device);
    int field = 0;
    for (const Section& section : kSections) {
        appendFormat(text, "\r\n%c %s\r\n", kCommentMarker, section.name);
        for (int n = 0; n < section.fieldCount; ++n, ++field) {
            uint16_t value;
            std::memcpy(&value, fieldBytes(records, field), sizeof value);
            appendFormat(text, "%s = %hu     / %s\r\n", CfgKeyTable[field].key, value, CfgKeyTable[field].description);
        }
    }
    return text;
}

char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalIgnoringAsciiCase(const char* a, const char* b)
{
    for (; *a != '\0' && *b != '\0'; ++a, ++b)
        if (lowerAscii(*a) != lowerAscii(*b))
            return false;
    return *a == *b;
}

bool isScanSpace(char c)
{
    return c != '\0' && std::strchr(" \t\n\v\f\r", c) != nullptr;
}

// Converts the first `length` characters of text as "%hu" does: white space,
// an optional sign, then decimal digits, taken modulo 65536.
bool scanUnsigned16(const char* text, size_t length, uint16_t& value)
{
    size_t i = 0;
    while (i < length && isScanSpace(text[i]))
        ++i;
    const bool negative = i < length && text[i] == '-';
    if (i < length && (text[i] == '+' || text[i] == '-'))
        ++i;
    const size_t firstDigit = i;
    unsigned number = 0;
    for (; i < length && text[i] >= '0' && text[i] <= '9'; ++i)
        number = (number * 10 + (text[i] - '0')) & 0xFFFF;
    if (i == firstDigit)
        return false;
    value = static_cast<uint16_t>(negative ? 0x10000 - number : number);
    return true;
}

// One piece of a line as the line buffer holds it; lines the reader can't use
// change nothing.
void applyLine(const char* line, RecordSet& records)
{
    const char* p = line;
    while (*p != '\0' && static_cast<signed char>(*p) <= 0x20)
        ++p;
    if (*p == '\0' || *p == kCommentMarker || *p == kVersionMarker)
        return;

    p += std::strspn(p, kDelimiters);
    const size_t keyLength = std::strcspn(p, kDelimiters);
    if (keyLength == 0 || keyLength >= kKeyBufferSize)
        return;
    char key[kKeyBufferSize];
    std::memcpy(key, p, keyLength);
    key[keyLength] = '\0';

    p += keyLength;
    p += std::strspn(p, kDelimiters);
    const size_t valueLength = std::strcspn(p, kDelimiters);
    uint16_t value;
    if (valueLength == 0 || !scanUnsigned16(p, valueLength, value))
        return;
    FindCfgKey(key, value, &records);
}

// The whole of file when it holds at most kTemplateFileBound bytes.
bool readBounded(std::FILE* file, std::string& text)
{
    char chunk[4096];
    while (text.size() <= kTemplateFileBound) {
        const size_t count = std::fread(chunk, 1, sizeof chunk, file);
        text.append(chunk, count);
        if (count < sizeof chunk)
            return std::ferror(file) == 0 && text.size() <= kTemplateFileBound;
    }
    return false;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The whole of the regular file at path when it holds at most
// kTemplateFileBound bytes.
bool readTemplateFile(const char* path, std::string& text)
{
    const std::unique_ptr<std::FILE, FileCloser> file(openRegularFileForReading(path));
    return file != nullptr && readBounded(file.get(), text);
}

// Hands each record to its Set operation. The idle record, set last, is
// never refused, so a refusal before it is kept for the caller.
int32_t storeRecords(const RecordSet& records)
{
    uint32_t firstRefusal = 0;
    const auto note = [&firstRefusal](int32_t accepted) {
        if (!accepted && firstRefusal == 0)
            firstRefusal = activeRecord().lastLibErr;
    };
    note(SetWalkAwayParms(&records.walkAway));
    note(SetWalkUpParms(&records.walkUp));
    note(SetTyvelParms(&records.tyvel));
    note(SetIdleParms(&records.idle));
    if (firstRefusal == 0)
        return 1;
    activeRecord().lastLibErr = firstRefusal;
    return 0;
}

}  // namespace

int FindCfgKey(const char* key, uint16_t value, RecordSet* records)
{
    for (int i = 0; i < kCfgKeyCount; ++i) {
        if (!equalIgnoringAsciiCase(key, CfgKeyTable[i].key))
            continue;
        std::memcpy(fieldBytes(*records, i), &value, sizeof value);
        return 1;
    }
    return 0;
}

extern "C" {

int32_t DRAVIK_CALL WriteDevCfgToFile(const char* path)
{
    if (path == nullptr || *path == '\0')
        return 0;
    return withoutExceptions(0, [path] { return writeWholeFile(path, renderTemplate(activeRecord())) ? 1 : 0; });
}

int32_t DRAVIK_CALL ReadDevCfgFmFile(const char* path)
{
    if (path == nullptr || *path == '\0')
        return 0;
    std::string text;
    if (!withoutExceptions(false, [path, &text] { return readTemplateFile(path, text); }))
        return 0;
    RecordSet records = recordsOf(activeRecord());
    // Each piece is what one fgets into the line buffer would take: up to and
    // including a LF, at most kLineBufferSize - 1 bytes.
    for (size_t start = 0; start < text.size();) {
        const size_t lineEnd = text.find('\n', start);
        const size_t end = std::min(lineEnd == std::string::npos ? text.size() : lineEnd + 1,
                                    start + kLineBufferSize - 1);
        char line[kLineBufferSize];
        std::memcpy(line, text.data() + start, end - start);
        line[end - start] = '\0';
        applyLine(line, records);
        start = end;
    }
    return storeRecords(records);
}

}  // extern "C"
