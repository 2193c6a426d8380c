// GoogleTest entry point for tests that need a QApplication. The application
// is made only when tests run, so listing the tests needs no display.
#include <QApplication>
#include <gtest/gtest.h>

#include <memory>

namespace {

class QtApplication : public ::testing::Environment {
public:
    QtApplication(int& argc, char** argv) : argc_(argc), argv_(argv) {}
    void SetUp() override { app_ = std::make_unique<QApplication>(argc_, argv_); }
    void TearDown() override { app_.reset(); }

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
