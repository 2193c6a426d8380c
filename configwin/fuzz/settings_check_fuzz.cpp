// Feeds arbitrary bytes to the settings-file reader and check as the content
// of a file. An accepted file must give a value for each of the window's
// lines (0 or 1 on a check box's), a refused one must name a line of them.
#include "files/settings_file_check.h"
#include "files/settings_layout.h"
#include "fuzz_input_file.h"

#include <QByteArray>
#include <QFile>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

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
            if (kForms[index] == LineForm::State && checked.values[index] != QLatin1String("0") &&
                checked.values[index] != QLatin1String("1")) {
                std::fprintf(stderr, "accepted line %zu as a check box's \"%s\"\n", index + 1,
                             checked.values[index].toUtf8().constData());
                std::abort();
            }
    } else if (checked.faultLine < 1 || checked.faultLine > static_cast<int>(kForms.size()) ||
               !checked.values.empty()) {
        std::fprintf(stderr, "refused naming line %d\n", checked.faultLine);
        std::abort();
    }
    return 0;
}
