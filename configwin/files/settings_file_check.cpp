#include "files/settings_file_check.h"

#include "text/ansi_codepage.h"
#include "text/system_text.h"

#include "descriptor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

FileBytes refused(const QString& problem)
{
    return {QByteArray(), problem};
}

FileBytes notOpened(int error)
{
    return refused(QStringLiteral("cannot be opened: %1.").arg(systemReason(error)));
}

FileBytes notRegular()
{
    return refused(QStringLiteral("cannot be opened: it is not a regular file."));
}

}  // namespace

FileBytes readSettingsBytes(const QString& path, qint64 bound)
{
    const QByteArray name = systemBytes(path);
    struct stat status {};
    if (::stat(name.constData(), &status) != 0) {
        // A file dialog puts U+FFFD for what it could not read of a name.
        if (errno == ENOENT && path.contains(QChar::ReplacementCharacter))
            return refused(QStringLiteral("cannot be opened: its name could not be read as text."));
        return notOpened(errno);
    }
    if (!S_ISREG(status.st_mode))
        return notRegular();
    // Non-blocking, so a FIFO put in the file's place since can't hold the open.
    const Descriptor file(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.get() < 0 || ::fstat(file.get(), &status) != 0)
        return notOpened(errno);
    if (!S_ISREG(status.st_mode))
        return notRegular();

    QByteArray bytes;
    char chunk[64 * 1024];
    while (bytes.size() <= bound) {
        const ssize_t count = ::read(file.get(), chunk, sizeof chunk);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return refused(QStringLiteral("cannot be read: %1.").arg(systemReason(errno)));
        if (count == 0)
            return {bytes, QString()};
        bytes.append(chunk, count);
    }
    return refused(QStringLiteral("was not loaded: it is larger than %1 bytes, which no settings file is.").arg(bound));
}

CheckedSettings checkSettingsFile(const QByteArray& bytes, const std::vector<LineForm>& forms)
{
    // Views into the bytes: only a text line's value is copied, so the check
    // allocates little however long the file.
    std::vector<QByteArrayView> lines;
    lines.reserve(forms.size());
    for (qsizetype start = 0; start < bytes.size() && lines.size() < forms.size();) {
        qsizetype end = bytes.indexOf('\r', start);
        if (end < 0)
            end = bytes.size();
        lines.push_back(QByteArrayView(bytes).sliced(start, end - start));
        start = end + 1;
        if (start < bytes.size() && bytes[start] == '\n')
            ++start;
    }
    CheckedSettings checked;
    const auto refuse = [&checked](std::size_t index, LineFault fault) {
        checked.values.clear();
        checked.faultLine = static_cast<int>(index) + 1;
        checked.fault = fault;
        return checked;
    };
    // Read at CRs, a file with LF line ends is one long line.
    if (!bytes.contains('\r') && bytes.contains('\n'))
        return refuse(0, LineFault::LfLineEnds);
    // A file cut short is told as such, whatever its last line holds.
    if (lines.size() < forms.size())
        return refuse(lines.size(), LineFault::Missing);
    checked.values.reserve(forms.size());
    for (std::size_t index = 0; index < forms.size(); ++index) {
        const QByteArrayView line = lines[index];
        if (forms[index] == LineForm::State) {
            if (line == "0")
                checked.values.push_back(QStringLiteral("0"));
            else if (line == "1")
                checked.values.push_back(QStringLiteral("1"));
            else
                return refuse(index, LineFault::NotState);
        } else {
            if (line.size() < 2)
                return refuse(index, LineFault::NotText);
            checked.values.push_back(fromAnsi(line.sliced(1, line.size() - 2)));
        }
    }
    return checked;
}
