// SPDX-License-Identifier: GPL-3.0-or-later
#include "mail/maildir.h"

#include "app/apperror.h"

#include <QDataStream>
#include <QDateTime>
#include <QIODevice>
#include <QRandomGenerator>
#include <QSysInfo>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

namespace Telvora::Mail::Internal {

namespace {

constexpr char HeaderCacheName[] = ".telvora-headers";
constexpr quint32 HeaderCacheMagic = 0x54564843; // "TVHC"
constexpr quint32 HeaderCacheVersion = 1;

[[noreturn]] void fail(const QString &description)
{
    throw App::AppError(App::ErrorNumber::MailFailure, description, QStringLiteral("PostOffice"));
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

std::string local(const QString &path)
{
    return path.toLocal8Bit().toStdString();
}

struct FdCloser
{
    int fd = -1;
    ~FdCloser()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

struct DirCloser
{
    void operator()(DIR *dir) const { ::closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

/// Writes a new file and syncs it to disk; removes it again on failure.
/// Returns 0 or the errno of the failing step.
int writeDurably(const std::string &path, const QByteArray &data)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return errno;
    const char *at = data.constData();
    qsizetype left = data.size();
    int error = 0;
    while (left > 0 && error == 0) {
        const ssize_t written = ::write(fd, at, size_t(left));
        if (written < 0 && errno != EINTR)
            error = errno;
        else if (written > 0) {
            at += written;
            left -= written;
        }
    }
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0)
        ::unlink(path.c_str());
    return error;
}

void syncDirectory(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

/// Reads up to `limit` bytes from the start of the file.
int readStart(int fd, qint64 limit, QByteArray &out)
{
    out.resize(limit);
    qint64 have = 0;
    while (have < limit) {
        const ssize_t got = ::read(fd, out.data() + have, size_t(limit - have));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (got == 0)
            break;
        have += got;
    }
    out.resize(have);
    return 0;
}

QString sanitizedHostName()
{
    QString host = QSysInfo::machineHostName();
    if (host.isEmpty())
        host = QStringLiteral("localhost");
    host.replace(u'/', QStringLiteral("\\057"));
    host.replace(u':', QStringLiteral("\\072"));
    return host;
}

std::string identifierOf(const char *name)
{
    const char *colon = std::strchr(name, ':');
    return colon ? std::string(name, size_t(colon - name)) : std::string(name);
}

/// The flags of a file name ("S", "FS", ...), empty when it carries none.
std::string flagsOf(const std::string &fileName)
{
    const size_t info = fileName.find(":2,");
    return info == std::string::npos ? std::string() : fileName.substr(info + 3);
}

bool validIdentifier(const QString &id)
{
    return !id.isEmpty() && !id.startsWith(u'.') && !id.contains(u'/') && !id.contains(u':') &&
           !id.contains(QChar(0));
}

} // namespace

Maildir::Maildir(QString path)
    : m_path(std::move(path))
    , m_root(local(m_path))
{}

void Maildir::create(const QString &path)
{
    for (const char *sub : {"", "/tmp", "/new", "/cur"}) {
        const std::string dir = local(path) + sub;
        if (::mkdir(dir.c_str(), 0777) != 0 && errno != EEXIST)
            fail(QStringLiteral("Cannot create the directory \"%1\": %2.")
                     .arg(QString::fromLocal8Bit(dir.c_str()), systemError(errno)));
    }
}

bool Maildir::isMaildir(const QString &path)
{
    struct stat st;
    for (const char *sub : {"/tmp", "/new", "/cur"}) {
        if (::stat((local(path) + sub).c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
            return false;
    }
    return true;
}

QString Maildir::uniqueName()
{
    static std::atomic<quint64> counter{0};
    static const QString host = sanitizedHostName();
    struct timeval now;
    ::gettimeofday(&now, nullptr);
    return QStringLiteral("%1.M%2P%3Q%4R%5.%6")
        .arg(qint64(now.tv_sec))
        .arg(qint64(now.tv_usec), 6, 10, QChar(u'0'))
        .arg(qint64(::getpid()))
        .arg(++counter)
        .arg(QRandomGenerator::system()->generate(), 8, 16, QChar(u'0'))
        .arg(host);
}

QStringList Maildir::deliver(const QStringList &maildirs, const QByteArray &message)
{
    struct Delivery
    {
        QString id;
        std::string tmpPath;
        std::string newPath;
        std::string newDir;
        bool written = false;
        bool delivered = false;
    };
    std::vector<Delivery> deliveries;
    deliveries.reserve(size_t(maildirs.size()));
    for (const QString &dir : maildirs) {
        Delivery d;
        d.id = uniqueName();
        const std::string root = local(dir);
        d.tmpPath = root + "/tmp/" + local(d.id);
        d.newDir = root + "/new";
        d.newPath = d.newDir + "/" + local(d.id);
        deliveries.push_back(std::move(d));
    }

    const auto undo = [&deliveries] {
        for (const Delivery &d : deliveries) {
            if (d.delivered)
                ::unlink(d.newPath.c_str());
            else if (d.written)
                ::unlink(d.tmpPath.c_str());
        }
    };

    for (size_t i = 0; i < deliveries.size(); ++i) {
        if (const int error = writeDurably(deliveries[i].tmpPath, message); error != 0) {
            undo();
            fail(QStringLiteral("Cannot write the message into \"%1\": %2.")
                     .arg(maildirs[qsizetype(i)], systemError(error)));
        }
        deliveries[i].written = true;
    }
    for (size_t i = 0; i < deliveries.size(); ++i) {
        if (::rename(deliveries[i].tmpPath.c_str(), deliveries[i].newPath.c_str()) != 0) {
            const int error = errno;
            undo();
            fail(QStringLiteral("Cannot deliver the message into \"%1\": %2.")
                     .arg(maildirs[qsizetype(i)], systemError(error)));
        }
        deliveries[i].delivered = true;
    }
    QStringList ids;
    std::vector<std::string> synced;
    for (const Delivery &d : deliveries) {
        if (std::find(synced.begin(), synced.end(), d.newDir) == synced.end()) {
            syncDirectory(d.newDir);
            synced.push_back(d.newDir);
        }
        ids.append(d.id);
    }
    return ids;
}

bool Maildir::fillEntry(Entry &entry, int dirFd, const char *name, const std::string &id,
                        qint64 mtimeSeconds)
{
    entry.isMessage = false;
    entry.headers = {};
    FdCloser file{::openat(dirFd, name, O_RDONLY | O_CLOEXEC)};
    QByteArray start;
    if (file.fd < 0 || readStart(file.fd, HeaderBlockLimit, start) != 0) {
        entry.inode = 0; // gone or unreadable now: look again next time
        return false;
    }
    if (auto headers = readHeaders(start.constData(), start.size(), start.size() == entry.size)) {
        entry.isMessage = true;
        entry.headers = std::move(*headers);
    }

    // The delivery time is the time in the unique name ("seconds.M<micros>...");
    // names made by other tools fall back to the file's modification time.
    qint64 seconds = -1;
    qint64 micros = 0;
    const size_t dot = id.find('.');
    if (dot != std::string::npos && dot > 0 && dot <= 12 &&
        std::all_of(id.begin(), id.begin() + qsizetype(dot),
                    [](char c) { return c >= '0' && c <= '9'; })) {
        seconds = std::stoll(id.substr(0, dot));
        if (id.size() > dot + 1 && id[dot + 1] == 'M')
            micros = std::strtoll(id.c_str() + dot + 2, nullptr, 10);
    }
    if (seconds < 0)
        seconds = mtimeSeconds;
    entry.sortSeconds = seconds;
    entry.sortMicros = micros;
    entry.dateReceived =
        QDateTime::fromSecsSinceEpoch(seconds).toString(QStringLiteral("yyyy/MM/dd HH:mm"));
    return true;
}

void Maildir::listDirectory(bool cur, quint64 listing)
{
    const std::string dirPath = m_root + (cur ? "/cur" : "/new");
    DirHandle dir(::opendir(dirPath.c_str()));
    if (!dir)
        fail(QStringLiteral("Cannot read the mailbox \"%1\": %2.").arg(m_path, systemError(errno)));
    const int dirFd = ::dirfd(dir.get());
    while (const dirent *item = ::readdir(dir.get())) {
        if (item->d_name[0] == '.')
            continue;
        if (item->d_type != DT_REG && item->d_type != DT_UNKNOWN && item->d_type != DT_LNK)
            continue;
        struct stat st;
        if (::fstatat(dirFd, item->d_name, &st, 0) != 0 || !S_ISREG(st.st_mode) || st.st_size == 0)
            continue;
        const std::string id = identifierOf(item->d_name);
        Entry &entry = m_entries[id];
        if (entry.listing == listing)
            continue; // the same message under two names: a move in progress
        const qint64 mtimeNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
        if (entry.inode != quint64(st.st_ino) || entry.size != qint64(st.st_size) ||
            entry.mtimeNs != mtimeNs) {
            entry.inode = quint64(st.st_ino);
            entry.size = qint64(st.st_size);
            entry.mtimeNs = mtimeNs;
            if (fillEntry(entry, dirFd, item->d_name, id, qint64(st.st_mtim.tv_sec)))
                ++m_unsavedReads;
        }
        entry.listing = listing;
        entry.fileName = item->d_name;
        entry.inCur = cur;
        entry.seen = cur && flagsOf(entry.fileName).find('S') != std::string::npos;
    }
}

Maildir::DirectoryState Maildir::directoryState(const char *sub) const
{
    struct stat st;
    if (::stat((m_root + sub).c_str(), &st) != 0)
        return {};
    return {qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec, quint64(st.st_ino)};
}

void Maildir::forgetResults()
{
    m_results.clear();
    m_statesSettled = false;
}

QList<MessageSummary> Maildir::fetch(const QString &messageClass)
{
    // The states are taken before the listing, so that a change during it shows
    // as a change next time.
    const DirectoryState newState = directoryState("/new");
    const DirectoryState curState = directoryState("/cur");
    if (m_statesSettled && newState == m_newState && curState == m_curState) {
        if (const auto it = m_results.constFind(messageClass); it != m_results.cend())
            return *it;
    } else {
        m_results.clear();
    }
    // A change in the same clock tick as the listing would not move the time:
    // trust the times only once they are older than the coarsest file system
    // clock (two seconds).
    const qint64 settledBefore = (QDateTime::currentMSecsSinceEpoch() - 2000) * 1000000;
    m_newState = newState;
    m_curState = curState;
    m_statesSettled = newState.mtimeNs >= 0 && curState.mtimeNs >= 0 &&
                      newState.mtimeNs < settledBefore && curState.mtimeNs < settledBefore;

    if (!m_cacheLoaded) {
        m_cacheLoaded = true;
        loadHeaderCache();
    }
    const quint64 listing = ++m_listing;
    listDirectory(false, listing);
    listDirectory(true, listing);

    std::vector<std::pair<const std::string *, Entry *>> found;
    found.reserve(m_entries.size());
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (it->second.listing != listing) {
            it = m_entries.erase(it);
            continue;
        }
        if (it->second.isMessage && it->second.headers.messageClass == messageClass)
            found.emplace_back(&it->first, &it->second);
        ++it;
    }
    std::sort(found.begin(), found.end(), [](const auto &a, const auto &b) {
        if (a.second->sortSeconds != b.second->sortSeconds)
            return a.second->sortSeconds < b.second->sortSeconds;
        if (a.second->sortMicros != b.second->sortMicros)
            return a.second->sortMicros < b.second->sortMicros;
        return *a.first < *b.first;
    });

    QList<MessageSummary> result;
    result.reserve(qsizetype(found.size()));
    for (const auto &[id, entry] : found) {
        MessageSummary summary;
        if (entry->qid.isEmpty())
            entry->qid = QString::fromLocal8Bit(id->data(), qsizetype(id->size()));
        summary.id = entry->qid;
        summary.subject = entry->headers.subject;
        summary.dateReceived = entry->dateReceived;
        summary.read = entry->seen;
        summary.originatorName = entry->headers.fromName;
        summary.originatorAddress = entry->headers.fromAddress;
        result.append(std::move(summary));
    }
    // Writing the cache costs about as much as reading a hundred headers: a
    // new process reads the few headers the file lacks faster than every
    // fetch could rewrite it.
    if (m_unsavedReads >= 100 || (!m_cacheFileUsable && m_unsavedReads > 0)) {
        saveHeaderCache();
        m_unsavedReads = 0;
        m_cacheFileUsable = true;
    }
    m_results.insert(messageClass, result);
    return result;
}

std::string Maildir::locate(const QString &id, bool *inCur)
{
    if (!validIdentifier(id))
        fail(QStringLiteral("There is no message \"%1\".").arg(id));
    const std::string key = local(id);
    struct stat st;
    if (const auto it = m_entries.find(key);
        it != m_entries.end() && !it->second.fileName.empty()) {
        const std::string path =
            m_root + (it->second.inCur ? "/cur/" : "/new/") + it->second.fileName;
        if (::stat(path.c_str(), &st) == 0) {
            if (inCur)
                *inCur = it->second.inCur;
            return path;
        }
    }
    // Not where the last fetch saw it: another client may have moved it.
    for (const bool cur : {false, true}) {
        const std::string dirPath = m_root + (cur ? "/cur" : "/new");
        DirHandle dir(::opendir(dirPath.c_str()));
        if (!dir)
            continue;
        while (const dirent *item = ::readdir(dir.get())) {
            if (item->d_name[0] != '.' && identifierOf(item->d_name) == key) {
                if (inCur)
                    *inCur = cur;
                return dirPath + "/" + item->d_name;
            }
        }
    }
    fail(QStringLiteral("The message was not found; it may have been deleted."));
}

QByteArray Maildir::readMessage(const QString &id)
{
    const std::string path = locate(id);
    FdCloser file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    struct stat st;
    if (file.fd < 0 || ::fstat(file.fd, &st) != 0)
        fail(QStringLiteral("Cannot read the message: %1.").arg(systemError(errno)));
    if (!S_ISREG(st.st_mode))
        fail(QStringLiteral("Cannot read the message: it is not a file."));
    if (st.st_size > MaxMessageSize)
        fail(QStringLiteral("The message is too large to read (%1 MB; the limit is %2 MB).")
                 .arg(st.st_size / (1024 * 1024))
                 .arg(MaxMessageSize / (1024 * 1024)));
    QByteArray data;
    if (const int error = readStart(file.fd, MaxMessageSize, data); error != 0)
        fail(QStringLiteral("Cannot read the message: %1.").arg(systemError(error)));
    return data;
}

void Maildir::markSeen(const QString &id)
{
    bool inCur = false;
    std::string path;
    try {
        path = locate(id, &inCur);
    } catch (const App::AppError &) {
        return; // deleted meanwhile: nothing to mark
    }
    const std::string fileName = path.substr(path.rfind('/') + 1);
    std::string flags = flagsOf(fileName);
    if (inCur && flags.find('S') != std::string::npos)
        return;
    flags += 'S';
    std::sort(flags.begin(), flags.end());
    const std::string newName = local(id) + ":2," + flags;
    const std::string target = m_root + "/cur/" + newName;
    forgetResults();
    if (::rename(path.c_str(), target.c_str()) != 0)
        return; // moved or deleted by another client, or a read-only store: stays unread
    if (const auto it = m_entries.find(local(id)); it != m_entries.end()) {
        it->second.fileName = newName;
        it->second.inCur = true;
        it->second.seen = true;
    }
}

void Maildir::replace(const QString &id, const QByteArray &message)
{
    forgetResults();
    const std::string path = locate(id);
    const std::string tmpPath = m_root + "/tmp/" + local(uniqueName());
    if (const int error = writeDurably(tmpPath, message); error != 0)
        fail(QStringLiteral("Cannot write the message: %1.").arg(systemError(error)));
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) {
        ::unlink(tmpPath.c_str());
        fail(QStringLiteral("The message was not found; it may have been deleted."));
    }
    if (::rename(tmpPath.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(tmpPath.c_str());
        fail(QStringLiteral("Cannot store the message: %1.").arg(systemError(error)));
    }
    syncDirectory(path.substr(0, path.rfind('/')));
}

void Maildir::remove(const QString &id)
{
    forgetResults();
    const std::string path = locate(id);
    if (::unlink(path.c_str()) != 0) {
        if (errno == ENOENT)
            fail(QStringLiteral("The message was not found; it may have been deleted."));
        fail(QStringLiteral("Cannot delete the message: %1.").arg(systemError(errno)));
    }
    m_entries.erase(local(id));
}

void Maildir::dropMemoryCache()
{
    forgetResults();
    m_entries.clear();
    m_cacheLoaded = false;
    m_cacheFileUsable = false;
    m_unsavedReads = 0;
}

QString Maildir::headerCachePath() const
{
    return m_path + u'/' + QLatin1String(HeaderCacheName);
}

void Maildir::loadHeaderCache()
{
    FdCloser file{::open((m_root + "/" + HeaderCacheName).c_str(), O_RDONLY | O_CLOEXEC)};
    struct stat st;
    if (file.fd < 0 || ::fstat(file.fd, &st) != 0 || st.st_size > 256 * 1024 * 1024)
        return;
    QByteArray data;
    if (readStart(file.fd, st.st_size, data) != 0)
        return;
    QDataStream in(data);
    in.setVersion(QDataStream::Qt_6_4);
    quint32 magic = 0;
    quint32 version = 0;
    quint32 count = 0;
    in >> magic >> version >> count;
    if (magic != HeaderCacheMagic || version != HeaderCacheVersion)
        return;
    std::unordered_map<std::string, Entry> entries;
    entries.reserve(count);
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        QByteArray id;
        Entry e;
        in >> id >> e.inode >> e.size >> e.mtimeNs >> e.isMessage >> e.headers.messageClass >>
            e.headers.subject >> e.headers.fromName >> e.headers.fromAddress >> e.dateReceived >>
            e.sortSeconds >> e.sortMicros;
        entries.emplace(id.toStdString(), std::move(e));
    }
    quint32 end = 0;
    in >> end;
    if (in.status() != QDataStream::Ok || end != HeaderCacheMagic || !in.atEnd())
        return; // torn or damaged: it is rebuilt by this fetch
    m_entries = std::move(entries);
    m_cacheFileUsable = true;
}

void Maildir::saveHeaderCache()
{
    QByteArray data;
    {
        QDataStream out(&data, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_6_4);
        out << HeaderCacheMagic << HeaderCacheVersion << quint32(m_entries.size());
        for (const auto &[id, e] : m_entries) {
            out << QByteArray::fromStdString(id) << e.inode << e.size << e.mtimeNs << e.isMessage
                << e.headers.messageClass << e.headers.subject << e.headers.fromName
                << e.headers.fromAddress << e.dateReceived << e.sortSeconds << e.sortMicros;
        }
        out << HeaderCacheMagic;
    }
    // Written beside the cache and renamed over it, so that readers see one
    // whole version; whoever renames last wins, which is fine for a cache. A
    // post office that this user cannot write simply goes without it.
    const std::string target = m_root + "/" + HeaderCacheName;
    const std::string temp = target + "." + local(uniqueName());
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return;
    const bool written = ::write(fd, data.constData(), size_t(data.size())) == ssize_t(data.size());
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temp.c_str(), target.c_str()) != 0)
        ::unlink(temp.c_str());
}

} // namespace Telvora::Mail::Internal
