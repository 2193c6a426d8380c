// This test executable's own fsync and close: a test makes them fail, or
// wait, for the files in one folder, such as the temporary file a save
// writes there. Every other call goes on to the C library unchanged.
#ifndef CONFIGWIN_TESTS_INTERPOSED_FILE_CALLS_H
#define CONFIGWIN_TESTS_INTERPOSED_FILE_CALLS_H

#include <QByteArray>
#include <QString>

#include <functional>

enum class FileCall { Fsync, Close };

// While it lives, `call` on a file in `folder` first runs `action`: the
// call then fails with the errno value it returns, or goes on on 0. A close
// that fails has closed the descriptor all the same, as the kernel's does.
class InterposedFileCall {
public:
    InterposedFileCall(FileCall call, const QString& folder, std::function<int()> action);
    ~InterposedFileCall();
    InterposedFileCall(const InterposedFileCall&) = delete;
    InterposedFileCall& operator=(const InterposedFileCall&) = delete;

    const FileCall call;
    const QByteArray folder;
    const std::function<int()> action;
};

#endif
