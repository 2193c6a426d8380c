// The template files' guarantees on a Windows file system: replacement
// through a temporary file, attributes, files held by others, devices and
// pipes.
#include <windows.h>

#include "../template_fixture.h"

namespace {

DWORD attributesOf(const std::string& path)
{
    return GetFileAttributesA(path.c_str());
}

// Another program's handle on a file, which never lets it be deleted or
// renamed.
class HeldFile {
public:
    HeldFile(const std::string& path, DWORD share)
        : handle_(CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr))
    {
    }
    ~HeldFile() { CloseHandle(handle_); }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    bool held() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

// A pipe nobody else uses: a reader that waited on it for a writer would
// never return, and what a writer sends waits in it.
class IdlePipe {
public:
    explicit IdlePipe(DWORD direction)
        : name_("\\\\.\\pipe\\dravik-template-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(direction)),
          server_(CreateNamedPipeA(name_.c_str(), direction, PIPE_TYPE_BYTE, 1, 4096, 4096, 0, nullptr))
    {
    }
    ~IdlePipe() { CloseHandle(server_); }
    IdlePipe(const IdlePipe&) = delete;
    IdlePipe& operator=(const IdlePipe&) = delete;
    const std::string& name() const { return name_; }

    DWORD bytesWaiting() const
    {
        DWORD available = 0;
        PeekNamedPipe(server_, nullptr, 0, nullptr, &available, nullptr);
        return available;
    }

private:
    std::string name_;
    HANDLE server_;
};

TEST_F(TemplateFileTest, ReaderRefusesPathsThatAreNoReadableRegularFile)
{
    const std::string missing = folder / "missing.tpl";
    const IdlePipe pipe(PIPE_ACCESS_OUTBOUND);
    expectReaderRefuses(
        {nullptr, "", missing.c_str(), inMissingFolder().c_str(), subfolder().c_str(), "NUL", pipe.name().c_str()});
}

TEST_F(TemplateFileTest, WriterRefusesPathsItCannotCreate)
{
    expectWriterRefuses({nullptr, "", inMissingFolder().c_str(), subfolder().c_str()});
    EXPECT_EQ(folder.names(), std::vector<std::string>{"sub"});
}

TEST_F(TemplateFileTest, NewAndReplacedFilesLeaveNoTemporary)
{
    const std::string path = folder / "cfg.tpl";
    ASSERT_EQ(WriteDevCfgToFile(path.c_str()), 1);
    EXPECT_EQ(readAll(path), kKnownTemplate);
    writeAll(path, "old\n");
    ASSERT_EQ(WriteDevCfgToFile(path.c_str()), 1);
    EXPECT_EQ(readAll(path), kKnownTemplate);
    EXPECT_EQ(folder.names(), std::vector<std::string>{"cfg.tpl"});
}

TEST_F(TemplateFileTest, ReplacedFileKeepsItsAttributes)
{
    const std::string path = folder / "cfg.tpl";
    writeAll(path, "old\n");
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    ASSERT_EQ(WriteDevCfgToFile(path.c_str()), 1);
    EXPECT_EQ(readAll(path), kKnownTemplate);
    EXPECT_EQ(attributesOf(path) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE),
              DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE});
}

TEST_F(TemplateFileTest, FileThatCantBeReplacedIsLeftAsItWas)
{
    const struct {
        const char* what;
        DWORD share;
    } cases[] = {
        // The writer gets as far as the replacement, which the handle refuses.
        {"held by others who let it be written", FILE_SHARE_READ | FILE_SHARE_WRITE},
        {"held by others who let it be read only", FILE_SHARE_READ},
    };
    const std::string path = folder / "cfg.tpl";
    for (const auto& c : cases) {
        writeAll(path, "old\n");
        {
            const HeldFile held(path, c.share);
            ASSERT_TRUE(held.held()) << c.what;
            EXPECT_EQ(WriteDevCfgToFile(path.c_str()), 0) << c.what;
        }
        EXPECT_EQ(readAll(path), "old\n") << c.what;
        EXPECT_EQ(folder.names(), std::vector<std::string>{"cfg.tpl"}) << c.what;
    }
}

TEST_F(TemplateFileTest, DevicesPipesAndFoldersAreRefusedUntouched)
{
    const IdlePipe pipe(PIPE_ACCESS_INBOUND);
    expectWriterRefuses({"NUL", pipe.name().c_str(), subfolder().c_str()});
    EXPECT_EQ(pipe.bytesWaiting(), 0u);
    EXPECT_EQ(folder.names(), std::vector<std::string>{"sub"});
}

TEST_F(TemplateFileTest, ReadOnlyFileIsLeftAsItWas)
{
    const std::string path = folder / "cfg.tpl";
    writeAll(path, "old\n");
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(WriteDevCfgToFile(path.c_str()), 0);
    EXPECT_EQ(readAll(path), "old\n");
    EXPECT_EQ(attributesOf(path) & FILE_ATTRIBUTE_READONLY, DWORD{FILE_ATTRIBUTE_READONLY});
    EXPECT_EQ(folder.names(), std::vector<std::string>{"cfg.tpl"});
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
