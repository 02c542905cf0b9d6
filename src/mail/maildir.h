// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "mail/mailsystem.h"
#include "mail/mimemessage.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <string>
#include <unordered_map>

namespace Telvora::Mail::Internal {

/// One mailbox of the post office in the Maildir layout: tmp/, new/, cur/.
/// A message's identifier is its unique file name without the ":2,flags" info;
/// it stays the same when the message moves from new/ to cur/ or changes flags.
///
/// fetch() keeps what it read of every message in memory, keyed by identifier
/// and checked against the file's inode, size and modification time, and saves
/// it to a header cache file in the Maildir for the next process. The cache is
/// only a cache: entries that do not match the file are read again, and a
/// damaged or missing cache file is rebuilt. When neither new/ nor cur/ changed
/// since the last listing (every Maildir change is a rename, a new file or a
/// removal in them, which moves their modification time), fetch() returns the
/// last result without listing them.
///
/// Every failing operation throws App::AppError (ErrorNumber::MailFailure).
class Maildir
{
public:
    /// The largest message file noteText-style reads accept.
    static constexpr qint64 MaxMessageSize = 16 * 1024 * 1024;
    /// How much of a file fetch() reads to find its header fields.
    static constexpr qint64 HeaderBlockLimit = 64 * 1024;

    explicit Maildir(QString path);

    [[nodiscard]] const QString &path() const { return m_path; }

    /// Creates the directory and its tmp/, new/ and cur/ (existing ones stay).
    static void create(const QString &path);
    /// Whether the path holds tmp/, new/ and cur/ directories.
    [[nodiscard]] static bool isMaildir(const QString &path);

    /// A new name that no other delivery uses: seconds, microseconds, process
    /// id, a per-process counter, random bits and the host name.
    [[nodiscard]] static QString uniqueName();

    /// Delivers one message file into every Maildir: writes and syncs all tmp/
    /// files first, then renames them into new/. When any step fails, whatever
    /// was written or delivered is removed again and AppError is thrown.
    /// Returns the identifiers, one per Maildir.
    static QStringList deliver(const QStringList &maildirs, const QByteArray &message);

    /// Every message of the class, read and unread, in delivery order. Files
    /// that are not readable messages are skipped and left alone.
    [[nodiscard]] QList<MessageSummary> fetch(const QString &messageClass);

    /// The whole file of a message. Throws when it is gone, unreadable or larger
    /// than MaxMessageSize.
    [[nodiscard]] QByteArray readMessage(const QString &id);
    /// Sets the seen flag: new/ -> cur/ with "S" added to the flags. A message
    /// that vanished meanwhile is left alone.
    void markSeen(const QString &id);
    /// Replaces the file of a message in one step (tmp/ file renamed over it).
    void replace(const QString &id, const QByteArray &message);
    /// Deletes a message file.
    void remove(const QString &id);

    /// Forgets everything fetch() keeps in memory (the cache file stays).
    void dropMemoryCache();
    /// The path of the header cache file.
    [[nodiscard]] QString headerCachePath() const;

private:
    struct Entry
    {
        quint64 inode = 0;
        qint64 size = 0;
        qint64 mtimeNs = 0;
        bool isMessage = false;
        MessageHeaders headers;
        QString dateReceived;
        qint64 sortSeconds = 0;
        qint64 sortMicros = 0;
        // Where the last listing found it.
        std::string fileName;
        bool inCur = false;
        bool seen = false;
        quint64 listing = 0;
        QString qid;
    };

    struct DirectoryState
    {
        qint64 mtimeNs = -1;
        quint64 inode = 0;
        friend bool operator==(const DirectoryState &, const DirectoryState &) = default;
    };
    [[nodiscard]] DirectoryState directoryState(const char *sub) const;
    void forgetResults();

    void listDirectory(bool cur, quint64 listing);
    bool fillEntry(Entry &entry, int dirFd, const char *name, const std::string &id,
                   qint64 mtimeSeconds);
    [[nodiscard]] std::string locate(const QString &id, bool *inCur = nullptr);
    void loadHeaderCache();
    void saveHeaderCache();

    QString m_path;
    std::string m_root;
    std::unordered_map<std::string, Entry> m_entries;
    bool m_cacheLoaded = false;
    bool m_cacheFileUsable = false; ///< the cache file was read and matched
    int m_unsavedReads = 0;         ///< headers read since the cache file was written
    quint64 m_listing = 0;
    DirectoryState m_newState;
    DirectoryState m_curState;
    bool m_statesSettled = false;
    QHash<QString, QList<MessageSummary>> m_results; ///< by class, for the unchanged directories
};

} // namespace Telvora::Mail::Internal
