// GoogleTest entry point for tests that need a QApplication. The application
// is made only when tests run, so listing the tests needs no display.
#include <QApplication>
#include <QThreadPool>
#include <gtest/gtest.h>

#include <memory>

namespace {

class QtApplication : public ::testing::Environment {
public:
    QtApplication(int& argc, char** argv) : argc_(argc), argv_(argv) {}
    void SetUp() override { app_ = std::make_unique<QApplication>(argc_, argv_); }
    // The raster engine paints with the global pool's workers; they are
    // joined here, so no thread of Qt's still holds its objects at the leak
    // check.
    void TearDown() override
    {
        QThreadPool::globalInstance()->waitForDone();
        app_.reset();
    }

private:
    int& argc_;
    char** argv_;
    std::unique_ptr<QApplication> app_;
};

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new QtApplication(argc, argv));
    return RUN_ALL_TESTS();
}
