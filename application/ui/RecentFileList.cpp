// The recent-file list in the profile.
#include "application/ui/RecentFileList.h"

#include <algorithm>

#include <QSettings>
#include <QString>

namespace {

const char* const kSection = "Recent File List";

QString EntryName(std::size_t index)
{
    return QStringLiteral("File%1").arg(index + 1);
}

}  // namespace

RecentFileList::RecentFileList(std::size_t capacity) : m_capacity(capacity) {}

void RecentFileList::ReadList()
{
    m_files.clear();
    QSettings profile;
    profile.beginGroup(kSection);
    for (std::size_t i = 0; i < m_capacity; ++i) {
        const QString value = profile.value(EntryName(i)).toString();
        if (value.isEmpty()) {
            break;
        }
        m_files.emplace_back(value.toStdString());
    }
}

void RecentFileList::WriteList() const
{
    QSettings profile;
    profile.remove(kSection);
    profile.beginGroup(kSection);
    for (std::size_t i = 0; i < m_files.size(); ++i) {
        profile.setValue(EntryName(i), QString::fromStdString(m_files[i].string()));
    }
    profile.endGroup();
    profile.sync();
}

void RecentFileList::Add(const std::filesystem::path& path)
{
    std::erase(m_files, path);
    m_files.insert(m_files.begin(), path);
    if (m_files.size() > m_capacity) {
        m_files.resize(m_capacity);
    }
    WriteList();
}

void RecentFileList::Remove(std::size_t index)
{
    if (index < m_files.size()) {
        m_files.erase(m_files.begin() + static_cast<std::ptrdiff_t>(index));
        WriteList();
    }
}
