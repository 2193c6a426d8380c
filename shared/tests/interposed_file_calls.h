// This test executable's own write, fsync, close and getrandom: a test makes
// the first three fail, wait or look at the file, for the files in one
// folder (such as the temporary file a save writes there), and makes
// getrandom give bytes of its choosing. Every other call goes on to the C
// library unchanged.
#ifndef TORNEL_TESTS_INTERPOSED_FILE_CALLS_H
#define TORNEL_TESTS_INTERPOSED_FILE_CALLS_H

#include <functional>
#include <string>
#include <vector>

enum class FileCall { Write, Fsync, Close };

// While it lives, `call` on a file in `folder` first runs `action` with the
// descriptor: the call then fails with the errno value it returns, or goes
// on on 0. A close that fails has closed the descriptor all the same, as the
// kernel's does.
class InterposedFileCall {
public:
    InterposedFileCall(FileCall call, const std::string& folder, std::function<int(int fd)> action);
    InterposedFileCall(FileCall call, const std::string& folder, std::function<int()> action);
    ~InterposedFileCall();
    InterposedFileCall(const InterposedFileCall&) = delete;
    InterposedFileCall& operator=(const InterposedFileCall&) = delete;

    const FileCall call;
    const std::string folder;
    const std::function<int(int fd)> action;
};

// While it lives, each getrandom call fills its buffer with the next byte of
// `bytes` (the last one once they run out).
class ChosenRandomBytes {
public:
    explicit ChosenRandomBytes(std::vector<unsigned char> bytes);
    ~ChosenRandomBytes();
    ChosenRandomBytes(const ChosenRandomBytes&) = delete;
    ChosenRandomBytes& operator=(const ChosenRandomBytes&) = delete;

    unsigned char next();

private:
    std::vector<unsigned char> bytes_;
    std::size_t used_ = 0;
};

#endif
