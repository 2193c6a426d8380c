// GoogleTest entry point for tests that need a QApplication. The application
// is made only when tests run, so listing the tests needs no display.
#include <QApplication>
#include <QThreadPool>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <iterator>
#include <memory>
#include <thread>

namespace {

std::ptrdiff_t runningThreads()
{
    return std::distance(std::filesystem::directory_iterator("/proc/self/task"), std::filesystem::directory_iterator());
}

// Qt's threads are detached: a worker the pool has let go still runs its own
// exit, holding its thread data until it ends, and the leak check at the
// program's end would report that data as lost.
void awaitThreadExits(std::ptrdiff_t threads)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (runningThreads() > threads && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

class QtApplication : public ::testing::Environment {
public:
    QtApplication(int& argc, char** argv) : argc_(argc), argv_(argv) {}
    void SetUp() override
    {
        threadsBefore_ = runningThreads();
        app_ = std::make_unique<QApplication>(argc_, argv_);
    }
    // The raster engine paints with the global pool's workers; the pool lets
    // them go here, and their threads end before the leak check runs.
    void TearDown() override
    {
        QThreadPool::globalInstance()->waitForDone();
        app_.reset();
        awaitThreadExits(threadsBefore_);
    }

private:
    int& argc_;
    char** argv_;
    std::unique_ptr<QApplication> app_;
    std::ptrdiff_t threadsBefore_ = 0;
};

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new QtApplication(argc, argv));
    return RUN_ALL_TESTS();
}
