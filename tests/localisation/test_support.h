#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

// Lets GoogleTest print a QString as its text.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

// Runs each test in a fresh temporary working directory.
class InTemporaryFolder : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder_.isValid() && QDir::setCurrent(folder_.path())); }
    void TearDown() override { QDir::setCurrent(previous_); }

private:
    QTemporaryDir folder_;
    const QString previous_ = QDir::currentPath();
};

// Writes `bytes` to `path`, making its folder first.
inline void write_file(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}
