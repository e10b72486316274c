#pragma once

#include <deque>
#include <map>
#include <optional>

#include "platform/Services.h"
#include "support/QtPrinters.h"

namespace caldra::test {

// Records what message boxes would have said instead of showing them.
class RecordingMessages final : public MessageBoxService {
public:
    void show(QWidget *, const QString &text, const QString &title, MessageIcon icon) override
    {
        told.append(QStringLiteral("[%1%2] ").arg(title, icon == MessageIcon::None ? "" : " (i)")
                    + text);
    }
    // Recorded among the messages, answered with `yes`.
    bool ask(QWidget *, const QString &text, const QString &title) override
    {
        told.append(QStringLiteral("[%1 (?)] ").arg(title) + text);
        return yes;
    }
    // With the title and whether the box shows the information icon.
    QStringList told;
    bool yes = false;
};

// Answers file dialogs from a queue: a path confirms, nothing cancels.
class ScriptedFileDialogs final : public FileDialogBackend {
public:
    std::optional<QString> run(QWidget *, Mode mode, const QStringList &filters,
                               const QString &folder) override
    {
        offered << QStringLiteral("%1 in \"%2\": %3")
                       .arg(mode == Mode::Open ? "open" : "save", folder, filters.join(u';'));
        std::optional<QString> answer;
        if (!answers.empty()) {
            answer = answers.front();
            answers.pop_front();
        }
        return answer;
    }
    std::deque<std::optional<QString>> answers;
    QStringList offered; // each dialog: open or save, its folder, its file type filters
};

// A registry of (key, value name) -> (type, raw bytes, reported size).
class FakeRegistry final : public RegistryService {
public:
    struct Value {
        std::uint32_t type;
        QByteArray data;
        std::uint32_t size;
    };
    long openKey(reg::Key, const QString &subKey, std::uint32_t, reg::Key *key) override
    {
        if (!keys.count(subKey))
            return reg::ErrorFileNotFound;
        m_opened.append(subKey);
        *key = m_opened.size();
        ++openHandles;
        return reg::ErrorSuccess;
    }
    long queryValue(reg::Key key, const QString &name, std::uint32_t *type, QByteArray *data,
                    std::uint32_t *size) override
    {
        const auto &values = keys[m_opened.value(qsizetype(key) - 1)];
        const auto value = values.find(name);
        if (value == values.end())
            return reg::ErrorFileNotFound;
        *type = value->second.type;
        std::copy(value->second.data.begin(), value->second.data.end(), data->begin());
        *size = value->second.size;
        return reg::ErrorSuccess;
    }
    long closeKey(reg::Key) override
    {
        --openHandles;
        return reg::ErrorSuccess;
    }

    std::map<QString, std::map<QString, Value>> keys;
    int openHandles = 0; // opened and not closed again

private:
    QStringList m_opened;
};

class FakeLauncher final : public ProgramLauncher {
public:
    bool start(const QString &program) override
    {
        started.append(program);
        return succeed;
    }
    QStringList started;
    bool succeed = true;
};

// The real file system, but with chosen folders made unreadable or read-only
// (root cannot be locked out of a folder by permissions), chosen files present
// and, when set, that much free space everywhere.
class FakeFileSystem final : public FileSystemService {
public:
    FolderListing listFolders(const QString &path) override
    {
        if (auto it = failing.find(path); it != failing.end())
            return {{}, Failure::fromText(it->second)};
        return real.listFolders(path);
    }
    QList<Volume> volumes() override { return real.volumes(); }
    bool fileExists(const QString &path) override
    {
        return existing.contains(path) || real.fileExists(path);
    }
    QString currentFolder() override { return current.isEmpty() ? real.currentFolder() : current; }
    std::optional<qint64> freeBytes(const QString &folder) override
    {
        return free ? free : real.freeBytes(folder);
    }
    bool isWritableFolder(const QString &path) override
    {
        return !readOnly.contains(path) && real.isWritableFolder(path);
    }

    DesktopFileSystem real;
    std::map<QString, QString> failing;
    QStringList existing;
    QStringList readOnly; // folders root could otherwise write to
    QString current;
    std::optional<qint64> free;
};

// Real services throughout, but the settings file in programFolder, no
// registry or program start that could reach the machine, and no decoding for
// waveforms (a decoder that delivers nothing until a test feeds it).
Services testServices(const QString &programFolder);

} // namespace caldra::test
