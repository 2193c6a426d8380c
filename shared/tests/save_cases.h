// The saves over an existing file that both writers of whole files, the
// library's template writer and the utility's settings-file save, are tested
// with: what the old file has (an ACL, extended attributes, an owner the saver
// may not give a file), who saves it (another user, a member of the file's
// group, root without CAP_FOWNER) and where (a folder that takes no new
// files, under a file-size limit, through a link the kernel resolves).
// Whatever the outcome, the file keeps its owner, group, mode, ACL and
// extended attributes, and nothing is left beside it.
#ifndef TORNEL_TESTS_SAVE_CASES_H
#define TORNEL_TESTS_SAVE_CASES_H

#include <functional>
#include <string>

struct SaveOutcome {
    bool saved = false;
    // What the writer told its user; empty when it tells nothing.
    std::string message;
};

struct WriterUnderTest {
    // Runs in a process of its own, as the case's saver.
    std::function<SaveOutcome(const std::string& path)> save;
    // What a save writes.
    std::string bytes;
    // What the writer tells of a save of `path` refused for `cause`, such as
    // "Permission denied".
    std::function<std::string(const std::string& path, const std::string& cause)> refusal;
};

// Runs every case with the writer, each in a process of its own, and checks
// what it left. A case that needs root is passed over in a run without it,
// with a line saying so.
void expectEverySaveCase(const WriterUnderTest& writer);

#endif
