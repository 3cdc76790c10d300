#include "document/diskwriter.h"

#include <QByteArray>

#include <pthread.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <deque>
#include <mutex>
#include <utility>
#include <vector>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#endif

namespace fennick::savesteps {

namespace {

// What the thread is handed, copied into buffers of at most this size, of
// which at most this many are in use at once.
constexpr qsizetype handedBytes = 64 << 10;
constexpr std::size_t handedBuffers = 3;

// The file and how far it is written.
class Disk {
public:
    explicit Disk(int file)
        : m_file(file)
    {
    }
    [[nodiscard]] off_t written() const { return m_total; }

    // Zero, or why the chunk could not be written whole.
    [[nodiscard]] int write(QByteArrayView chunk)
    {
        for (qsizetype done = 0; done < chunk.size();) {
            const ssize_t count = ::write(m_file, chunk.data() + done, chunk.size() - done);
            if (count < 0 && errno == EINTR)
                continue;
            if (count <= 0)
                return count < 0 ? errno : ENOSPC;
            done += count;
        }
        m_total += chunk.size();
#ifdef Q_OS_LINUX
        // The disk starts on each quarter megabyte while the next is made,
        // so that the sync after the last write waits only for the last.
        constexpr off_t diskStartBytes = 256 << 10;
        if (m_total - m_handedToDisk >= diskStartBytes) {
            (void)::sync_file_range(m_file, m_handedToDisk, m_total - m_handedToDisk,
                                    SYNC_FILE_RANGE_WRITE);
            m_handedToDisk = m_total;
        }
#endif
        return 0;
    }

private:
    int m_file;
    off_t m_total = 0;
    off_t m_handedToDisk = 0;
};

// Writes what it is handed, in order, on its own thread.
class WriteBehind {
public:
    explicit WriteBehind(Disk &disk)
        : m_disk(disk)
    {
    }
    WriteBehind(const WriteBehind &) = delete;
    WriteBehind &operator=(const WriteBehind &) = delete;
    ~WriteBehind() { (void)finish(); }

    // False when the system gives no thread (a container's limit on
    // processes): the caller then writes the rest itself.
    [[nodiscard]] bool start()
    {
        m_running = ::pthread_create(&m_thread, nullptr, &WriteBehind::run, this) == 0;
        return m_running;
    }

    [[nodiscard]] bool isRunning() const { return m_running; }

    // False once a write has failed: nothing more is taken.
    [[nodiscard]] bool hand(QByteArrayView chunk)
    {
        for (qsizetype at = 0; at < chunk.size(); at += handedBytes) {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return m_error != 0 || m_inUse < handedBuffers; });
            if (m_error != 0)
                return false;
            ++m_inUse;
            QByteArray buffer;
            if (!m_spare.empty()) {
                buffer = std::move(m_spare.back());
                m_spare.pop_back();
            }
            lock.unlock();
            // Copied outside the lock, while the thread writes the last one.
            const QByteArrayView part = chunk.sliced(at, std::min(handedBytes, chunk.size() - at));
            buffer.resize(part.size());
            std::memcpy(buffer.data(), part.data(), std::size_t(part.size()));
            lock.lock();
            m_queue.push_back(std::move(buffer));
            m_changed.notify_all();
        }
        return true;
    }

    // Waits until everything handed is written; zero, or the first error.
    [[nodiscard]] int finish()
    {
        if (std::exchange(m_running, false)) {
            {
                const std::lock_guard lock(m_mutex);
                m_handingDone = true;
            }
            m_changed.notify_all();
            ::pthread_join(m_thread, nullptr);
        }
        return m_error;
    }

private:
    static void *run(void *self)
    {
        static_cast<WriteBehind *>(self)->writeHanded();
        return nullptr;
    }
    void writeHanded()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_changed.wait(lock, [this] { return !m_queue.empty() || m_handingDone; });
            if (m_queue.empty())
                return;
            QByteArray buffer = std::move(m_queue.front());
            m_queue.pop_front();
            lock.unlock();
            const int error = m_disk.write(buffer);
            lock.lock();
            m_spare.push_back(std::move(buffer));
            --m_inUse;
            if (error != 0) {
                // Still counted in use: nothing is handed after an error.
                m_error = error;
                m_queue.clear();
            }
            m_changed.notify_all();
            if (error != 0)
                return;
        }
    }

    Disk &m_disk; // the thread's alone once it is started
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<QByteArray> m_queue;
    std::vector<QByteArray> m_spare;
    std::size_t m_inUse = 0; // buffers queued or being written
    bool m_handingDone = false;
    int m_error = 0;
    pthread_t m_thread{};
    bool m_running = false;
};

void *closeDescriptor(void *descriptor)
{
    ::close(int(reinterpret_cast<std::intptr_t>(descriptor)));
    return nullptr;
}

} // namespace

int writeAll(int file, FileBytes &bytes)
{
    Disk disk(file);
    WriteBehind behind(disk);
    bool behindTried = false;
    int error = 0;
    (void)bytes.writeTo([&](QByteArrayView chunk) {
        // From the second chunk on, the chunks are written on a thread of
        // their own: the system's copying of one into the file then overlaps
        // the making of the next, which on a large document take about as
        // long each. A document that fits in one chunk never pays for it.
        if (!behindTried && disk.written() > 0) {
            behindTried = true;
            (void)behind.start();
        }
        if (behind.isRunning())
            return behind.hand(chunk);
        error = disk.write(chunk);
        return error == 0;
    });
    return behind.isRunning() ? behind.finish() : error;
}

void closeReplaced(int file)
{
    // A file with no name left is freed as its last handle closes: about a
    // tenth of a millisecond a megabyte, and on a disk that is told of
    // freed blocks (mounted with discard) 0.05 ms for the smallest file.
    // A thread costs 0.015 ms.
    pthread_attr_t detached;
    if (::pthread_attr_init(&detached) == 0) {
        pthread_t closer{};
        const bool started
            = ::pthread_attr_setdetachstate(&detached, PTHREAD_CREATE_DETACHED) == 0
           && ::pthread_create(&closer, &detached, &closeDescriptor,
                               reinterpret_cast<void *>(std::intptr_t(file)))
                  == 0;
        ::pthread_attr_destroy(&detached);
        if (started)
            return;
    }
    ::close(file);
}

} // namespace fennick::savesteps
