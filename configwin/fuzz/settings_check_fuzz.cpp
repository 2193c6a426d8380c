// Feeds arbitrary bytes to the settings-file reader and check as the content
// of a file. An accepted file must give a value for each of its 133 lines
// (0 or 1 on a check box's), a refused one must name a line of them.
#include "fuzz_input_file.h"
#include "files/settings_file_check.h"

#include <QByteArray>
#include <QFile>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// The window's 133 lines: check boxes on lines 5-8 and 18-113, texts elsewhere.
std::vector<LineForm> settingsLineForms()
{
    std::vector<LineForm> forms(133, LineForm::Text);
    for (int line = 1; line <= 133; ++line)
        if ((line >= 5 && line <= 8) || (line >= 18 && line <= 113))
            forms[line - 1] = LineForm::State;
    return forms;
}

const std::vector<LineForm> kForms = settingsLineForms();
const FuzzInputFile kInput("tornel-settings-fuzz");
const QString kInputPath = QFile::decodeName(kInput.path().c_str());

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    kInput.write(data, size);

    const FileBytes read = readSettingsBytes(kInputPath);
    if (!read.problem.isEmpty() || read.bytes != QByteArray(reinterpret_cast<const char*>(data), size)) {
        std::fprintf(stderr, "a regular file of %zu bytes was not read whole\n", size);
        std::abort();
    }
    const CheckedSettings checked = checkSettingsFile(read.bytes, kForms);
    if (checked.fault == LineFault::None) {
        if (checked.faultLine != 0 || checked.values.size() != kForms.size()) {
            std::fprintf(stderr, "accepted with %zu values\n", checked.values.size());
            std::abort();
        }
        for (size_t index = 0; index < kForms.size(); ++index)
            if (kForms[index] == LineForm::State && checked.values[index] != QLatin1String("0")
                && checked.values[index] != QLatin1String("1")) {
                std::fprintf(stderr, "accepted line %zu as a check box's \"%s\"\n", index + 1,
                             checked.values[index].toUtf8().constData());
                std::abort();
            }
    } else if (checked.faultLine < 1 || checked.faultLine > static_cast<int>(kForms.size())
               || !checked.values.empty()) {
        std::fprintf(stderr, "refused naming line %d\n", checked.faultLine);
        std::abort();
    }
    return 0;
}
