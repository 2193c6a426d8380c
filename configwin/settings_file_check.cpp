#include "settings_file_check.h"

#include "ansi_codepage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

#include <cerrno>
#include <cstring>

namespace {

FileBytes refused(const QString& problem)
{
    return {QByteArray(), problem};
}

FileBytes notOpened(int error)
{
    return refused(QStringLiteral("cannot be opened: %1.").arg(QString::fromLocal8Bit(std::strerror(error))));
}

FileBytes notRegular()
{
    return refused(QStringLiteral("cannot be opened: it is not a regular file."));
}

// Closes the descriptor on every way out.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

}  // namespace

FileBytes readSettingsBytes(const QString& path, qint64 bound)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat status {};
    if (::stat(name.constData(), &status) != 0)
        return notOpened(errno);
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
            return refused(QStringLiteral("cannot be read: %1.").arg(QString::fromLocal8Bit(std::strerror(errno))));
        if (count == 0)
            return {bytes, QString()};
        bytes.append(chunk, count);
    }
    return refused(QStringLiteral("was not loaded: it is larger than %1 bytes, which no settings file is.").arg(bound));
}

CheckedSettings checkSettingsFile(const QByteArray& bytes, const std::vector<LineForm>& forms)
{
    std::vector<QString> lines;
    for (qsizetype start = 0; start < bytes.size() && lines.size() < forms.size();) {
        qsizetype end = bytes.indexOf('\r', start);
        if (end < 0)
            end = bytes.size();
        lines.push_back(fromAnsi(bytes.mid(start, end - start)));
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
    // A file cut short is told as such, whatever its last line holds.
    if (lines.size() < forms.size())
        return refuse(lines.size(), LineFault::Missing);
    for (std::size_t index = 0; index < forms.size(); ++index) {
        const QString& line = lines[index];
        if (forms[index] == LineForm::State) {
            if (line != QLatin1String("0") && line != QLatin1String("1"))
                return refuse(index, LineFault::NotState);
            checked.values.push_back(line);
        } else {
            if (line.size() < 2)
                return refuse(index, LineFault::NotText);
            checked.values.push_back(line.mid(1, line.size() - 2));
        }
    }
    return checked;
}
