#pragma once

// A program folder of its own for each GUI test: run_dir points into a fresh temporary folder, and
// the data file is written there byte for byte, so a test shows exactly the file it reads.

#include "platform/run_dir.h"
#include "text/text.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace lorvane::test {

class DataDir {
public:
    DataDir() { set_run_dir_for_tests(QFile::encodeName(dir_.path()).toStdString()); }
    ~DataDir() { set_run_dir_for_tests({}); }
    DataDir(const DataDir&) = delete;
    DataDir& operator=(const DataDir&) = delete;

    bool valid() const { return dir_.isValid(); }
    QString data_folder() const { return dir_.filePath(QStringLiteral("Data")); }
    QString data_file() const { return dir_.filePath(QStringLiteral("Data/URL.ini")); }

    // Writes Data/URL.ini with exactly these bytes, making the folder first.
    bool write_data_file(const Text& bytes) const {
        if (!QDir().mkpath(data_folder())) {
            return false;
        }
        QFile file(data_file());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            return false;
        }
        const auto size = static_cast<qint64>(bytes.size());
        return file.write(bytes.data(), size) == size;
    }

    // The data file's bytes as they are on disk now; empty when there is none.
    Text read_data_file() const {
        QFile file(data_file());
        if (!file.open(QIODevice::ReadOnly)) {
            return {};
        }
        return file.readAll().toStdString();
    }

private:
    QTemporaryDir dir_;
};

} // namespace lorvane::test
