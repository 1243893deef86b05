// Storage of the frontal solution: the large aligned arrays of the front and
// the eliminated equations of one factorization, kept in memory up to a
// budget and written beyond it to the scratch unit 2 by a background thread,
// for the back-substitution and for a later solution with the same matrices.
// Only the frontal solution (frontal.cpp) includes this header.
#pragma once

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <new>
#include <thread>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include "platform/fio/fio.h"

namespace parvane::frontal_detail {

// Memory of the front: mapped fresh, so that it reads as zero without being
// cleared (a page is only touched where the front is used), aligned to 2 MB
// and marked for transparent huge pages, so that the strided reads across
// its columns do not miss the TLB on every column.
template <class T>
class LargeArray {
public:
    LargeArray() = default;
    explicit LargeArray(std::size_t count) {
        constexpr std::size_t kHuge = std::size_t(2) << 20;
        const std::size_t bytes = std::max<std::size_t>(count * sizeof(T), 1);
        size_ = (bytes + kHuge - 1) / kHuge * kHuge + kHuge;
        void* p = ::mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED) throw std::bad_alloc();
        mapped_ = static_cast<char*>(p);
        char* data = mapped_ + (kHuge - reinterpret_cast<std::uintptr_t>(mapped_) % kHuge) % kHuge;
#ifdef MADV_HUGEPAGE
        ::madvise(data, size_ - kHuge, MADV_HUGEPAGE);
#endif
        data_ = reinterpret_cast<T*>(data);
    }
    LargeArray(LargeArray&& o) noexcept
        : mapped_(std::exchange(o.mapped_, nullptr)), size_(std::exchange(o.size_, 0)),
          data_(std::exchange(o.data_, nullptr)) {}
    LargeArray& operator=(LargeArray&& o) noexcept {
        std::swap(mapped_, o.mapped_);
        std::swap(size_, o.size_);
        std::swap(data_, o.data_);
        return *this;
    }
    LargeArray(const LargeArray&) = delete;
    LargeArray& operator=(const LargeArray&) = delete;
    ~LargeArray() { reset(); }

    void reset() {
        if (mapped_ != nullptr) ::munmap(mapped_, size_);
        mapped_ = nullptr;
        size_ = 0;
        data_ = nullptr;
    }
    T* get() const { return data_; }
    explicit operator bool() const { return data_ != nullptr; }

private:
    char* mapped_ = nullptr;
    std::size_t size_ = 0;
    T* data_ = nullptr;
};

// One eliminated equation inside a block: its slot, variable (0-based),
// restraint code, pivot, and the coefficients of the slots first ..
// first + count - 1 (its own slot among them as a zero).  The nonzero terms
// of a row fill nearly all of the span between its first and its last one,
// so a dense span is smaller than indexed terms and is read contiguously.
struct RowHeader {
    std::int32_t slot;
    std::int32_t var;
    std::int32_t first;
    std::int32_t count;
    std::int32_t code;
    std::int32_t unused;
    double pivot;
};

inline std::size_t row_bytes(std::int32_t count) {
    return sizeof(RowHeader) + static_cast<std::size_t>(count) * sizeof(double);
}

struct RowView {
    const RowHeader* h;
    const double* val;
};

inline RowView row_at(const char* p) {
    RowView r;
    r.h = reinterpret_cast<const RowHeader*>(p);
    r.val = reinterpret_cast<const double*>(p + sizeof(RowHeader));
    return r;
}

// The blocks of eliminated equations beyond the memory budget, in the file
// of unit 2 through a descriptor of their own.  They bypass the page cache
// where the file system allows it: a background thread writes each block
// while the elimination goes on, and the back-substitution reads them
// straight back.  Blocks start on 4 KB boundaries and are padded to them.
class SpillFile {
public:
    SpillFile() = default;
    SpillFile(const SpillFile&) = delete;
    SpillFile& operator=(const SpillFile&) = delete;
    ~SpillFile() { close(); }

    bool is_open() const { return fd_ >= 0; }
    const std::string& path() const { return path_; }

    // Opens the file of unit 2 for the blocks; false with errno set.
    bool open(const std::string& path) {
        close();
        path_ = path;
        fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_DIRECT, 0600);
        direct_ = fd_ >= 0;
        if (fd_ < 0 && errno == EINVAL) fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        return fd_ >= 0;
    }

    // Room for the next block of up to `bytes` (waits while every buffer is
    // being written).
    char* buffer(std::size_t bytes) {
        const std::size_t need = padded(bytes);
        std::unique_lock<std::mutex> lock(m_);
        cv_.wait(lock, [&] { return !free_.empty() || pool_ < kBuffers; });
        Buf b{};
        if (!free_.empty()) {
            b = free_.back();
            free_.pop_back();
        } else {
            ++pool_;
        }
        lock.unlock();
        if (b.cap < need) {
            std::free(b.p);
            b.p = static_cast<char*>(std::aligned_alloc(kAlign, need));
            b.cap = b.p != nullptr ? need : 0;
            if (b.p == nullptr) {
                std::lock_guard<std::mutex> relock(m_);
                --pool_;
                throw std::bad_alloc();
            }
        }
        current_ = b;
        return b.p;
    }

    // Queues the block of `bytes` in the last buffer; gives its place and
    // its padded length.  False with errno set when an earlier write failed.
    bool queue(std::size_t bytes, std::uint64_t& offset, std::size_t& stored) {
        stored = padded(bytes);
        std::memset(current_.p + bytes, 0, stored - bytes);
        offset = end_;
        end_ += stored;
        std::lock_guard<std::mutex> lock(m_);
        jobs_.push_back(Job{current_, offset, stored});
        current_ = Buf{};
        if (!thread_.joinable() && !inline_) {
            try {
                thread_ = std::thread([this] { write_jobs(); });
            } catch (const std::system_error&) {
                inline_ = true;  // no thread to be had: each block is written here
            }
        }
        if (inline_) {
            const Job job = jobs_.back();
            jobs_.pop_back();
            const int failure = error_ != 0 ? 0 : write_job(job);
            if (failure != 0) error_ = failure;
            free_.push_back(job.buf);
        }
        cv_.notify_all();
        if (error_ != 0) {
            errno = error_;
            return false;
        }
        return true;
    }

    // Waits until every queued block is written; false with errno set when a
    // write failed.
    bool flush() {
        std::unique_lock<std::mutex> lock(m_);
        cv_.wait(lock, [&] { return jobs_.empty() && writing_ == 0; });
        if (error_ != 0) {
            errno = error_;
            return false;
        }
        return true;
    }

    // Reads the block at `offset`; null on failure.
    const char* read(std::uint64_t offset, std::size_t stored) {
        if (read_.cap < stored) {
            std::free(read_.p);
            read_.p = static_cast<char*>(std::aligned_alloc(kAlign, stored));
            read_.cap = read_.p != nullptr ? stored : 0;
            if (read_.p == nullptr) throw std::bad_alloc();
        }
        std::size_t done = 0;
        while (done < stored) {
            const ssize_t n = ::pread(fd_, read_.p + done, stored - done, static_cast<off_t>(offset + done));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return nullptr;
            done += static_cast<std::size_t>(n);
        }
        return read_.p;
    }

    // Stops the writer, frees the buffers and closes the descriptor.
    void close() {
        if (thread_.joinable()) {
            {
                std::lock_guard<std::mutex> lock(m_);
                stop_ = true;
            }
            cv_.notify_all();
            thread_.join();
        }
        for (Job& j : jobs_) std::free(j.buf.p);
        jobs_.clear();
        for (Buf& b : free_) std::free(b.p);
        free_.clear();
        std::free(current_.p);
        std::free(read_.p);
        current_ = read_ = Buf{};
        pool_ = writing_ = 0;
        stop_ = inline_ = false;
        error_ = 0;
        end_ = 0;
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    static constexpr std::size_t kAlign = 4096;
    static constexpr int kBuffers = 4;
    struct Buf {
        char* p = nullptr;
        std::size_t cap = 0;
    };
    struct Job {
        Buf buf;
        std::uint64_t offset;
        std::size_t bytes;
    };

    // Writes one block; the errno of a failure, else 0.
    int write_job(const Job& job) {
        std::size_t done = 0;
        while (done < job.bytes) {
            const ssize_t n = ::pwrite(fd_, job.buf.p + done, job.bytes - done, static_cast<off_t>(job.offset + done));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && errno == EINVAL && direct_ && buffered()) continue;
            if (n <= 0) return n < 0 ? errno : ENOSPC;
            done += static_cast<std::size_t>(n);
        }
        return 0;
    }

    // A file system that takes direct transfers at the open but refuses them
    // in a write gets the blocks through the page cache instead.  Only the
    // writer uses the descriptor while blocks are queued.
    bool buffered() {
        const int fd = ::open(path_.c_str(), O_RDWR | O_CLOEXEC);
        if (fd < 0) return false;
        ::close(fd_);
        fd_ = fd;
        direct_ = false;
        return true;
    }

    static std::size_t padded(std::size_t bytes) {
        return std::max<std::size_t>(kAlign, (bytes + kAlign - 1) / kAlign * kAlign);
    }

    void write_jobs() {
        std::unique_lock<std::mutex> lock(m_);
        for (;;) {
            cv_.wait(lock, [&] { return stop_ || !jobs_.empty(); });
            if (jobs_.empty()) return;
            Job job = jobs_.front();
            jobs_.pop_front();
            ++writing_;
            const bool skip = error_ != 0;
            lock.unlock();
            const int failure = skip ? 0 : write_job(job);
            lock.lock();
            if (failure != 0 && error_ == 0) error_ = failure;
            free_.push_back(job.buf);
            --writing_;
            cv_.notify_all();
        }
    }

    int fd_ = -1;
    bool direct_ = false;
    std::string path_;
    std::uint64_t end_ = 0;
    std::thread thread_;
    std::mutex m_;
    std::condition_variable cv_;
    std::vector<Buf> free_;
    std::deque<Job> jobs_;
    Buf current_, read_;
    int pool_ = 0, writing_ = 0, error_ = 0;
    bool stop_ = false, inline_ = false;
};

// The eliminated equations of one call, kept for the back-substitution and for
// a later call with the same matrices.
struct EquationStore {
    bool valid = false;
    fio::Units* units = nullptr;
    int npoin = 0, nelem = 0, nnode = 0, capacity = 0;
    // Fingerprint of the element matrices (two independent 64-bit hashes of
    // their bytes) instead of a copy of them: equal fingerprints of the same
    // size mean the same matrices beyond any practical doubt.
    std::size_t stiffness_count = 0;
    std::uint64_t stiffness_hash[2] = {0, 0};
    std::vector<int> lnods_copy;
    std::vector<int> order;  // elements in the order of assembly
    std::vector<int> codes;
    std::vector<int> dests;  // slot of each element variable, per place in the order
    struct Block {
        char* data = nullptr;  // in memory, or null when on unit 2
        std::size_t size = 0;
        std::uint64_t offset = 0;  // on unit 2: its place and padded length
        std::size_t stored = 0;
        int rows = 0;
    };
    std::vector<Block> blocks;  // one per place in the order
    // Memory of the eliminated equations: kept from one factorization to the
    // next (its pages are touched already), freed by release().
    // Each chunk is a whole number of 2 MB pages on a 2 MB boundary, marked
    // for transparent huge pages: the first write to fresh memory costs far
    // more page by page than once per huge page.
    struct Chunk {
        static constexpr std::size_t kHuge = std::size_t(2) << 20;
        char* data = nullptr;
        std::size_t size = 0;
        char* mapped = nullptr;
        std::size_t mapped_size = 0;
        explicit Chunk(std::size_t n) : size((n + kHuge - 1) / kHuge * kHuge), mapped_size(size + kHuge) {
            void* p = ::mmap(nullptr, mapped_size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (p == MAP_FAILED) throw std::bad_alloc();
            mapped = static_cast<char*>(p);
            const std::uintptr_t at = reinterpret_cast<std::uintptr_t>(mapped);
            data = mapped + ((kHuge - at % kHuge) % kHuge);
#ifdef MADV_HUGEPAGE
            ::madvise(data, size, MADV_HUGEPAGE);
#endif
        }
        Chunk(Chunk&& o) noexcept
            : data(std::exchange(o.data, nullptr)), size(std::exchange(o.size, 0)),
              mapped(std::exchange(o.mapped, nullptr)), mapped_size(std::exchange(o.mapped_size, 0)) {}
        Chunk& operator=(Chunk&& o) noexcept {
            std::swap(data, o.data);
            std::swap(size, o.size);
            std::swap(mapped, o.mapped);
            std::swap(mapped_size, o.mapped_size);
            return *this;
        }
        Chunk(const Chunk&) = delete;
        Chunk& operator=(const Chunk&) = delete;
        ~Chunk() {
            if (mapped != nullptr) ::munmap(mapped, mapped_size);
        }
    };
    std::vector<Chunk> chunks;
    std::size_t chunk_at = 0, chunk_used = 0;  // chunk being filled, bytes used in it
    SpillFile spill;
    // The front matrix, kept from one factorization to the next: a
    // factorization that ends eliminates every variable and so leaves the
    // upper triangle zero again, and the next one of the same size takes it
    // as it is instead of clearing fresh memory.
    LargeArray<double> front;
    std::size_t front_size = 0;
    bool front_clear = false;
    std::size_t mem_bytes = 0, spill_bytes = 0;
    long long equations = 0;
    int spilled_blocks = 0;
    int max_front = 0;
    double flops = 0;
    bool positive_definite = false;  // every pivot of a free variable was positive

    void clear() {
        valid = false;
        units = nullptr;
        stiffness_count = 0;
        stiffness_hash[0] = stiffness_hash[1] = 0;
        lnods_copy.clear();
        lnods_copy.shrink_to_fit();
        order.clear();
        order.shrink_to_fit();
        codes.clear();
        codes.shrink_to_fit();
        dests.clear();
        dests.shrink_to_fit();
        blocks.clear();
        blocks.shrink_to_fit();
        chunk_at = chunk_used = 0;
        mem_bytes = spill_bytes = 0;
        spill.close();
        equations = 0;
        spilled_blocks = 0;
        max_front = 0;
        flops = 0;
        positive_definite = false;
    }

    // Forgets everything and frees the equation memory and the front too.
    void release() {
        clear();
        chunks.clear();
        chunks.shrink_to_fit();
        front.reset();
        front_size = 0;
        front_clear = false;
    }

    // A C x C front matrix with a zero upper triangle, in use until
    // front_done() or front_spoilt().
    double* front_matrix(std::size_t C) {
        if (!front || front_size != C) {
            // Freshly mapped: zero already.
            front.reset();
            front_size = 0;
            front = LargeArray<double>(C * C);
            front_size = C;
        } else if (!front_clear) {
            std::fill(front.get(), front.get() + C * C, 0.0);
        }
        front_clear = false;
        return front.get();
    }

    // Gives back the last `n` bytes reserved.
    void unreserve(std::size_t n) {
        chunk_used -= n;
        mem_bytes -= n;
    }

    // Room for `n` bytes in memory (8-byte aligned): the rest of the current
    // chunk, the next kept chunk that holds it, or a new one.
    char* reserve(std::size_t n) {
        n = (n + 7) & ~std::size_t(7);
        while (chunk_at < chunks.size() && chunk_used + n > chunks[chunk_at].size) {
            ++chunk_at;
            chunk_used = 0;
        }
        if (chunk_at == chunks.size()) {
            // 2 MB first, doubling up to 32 MB: a small model touches little.
            const std::size_t grow = std::size_t(1) << (21 + std::min<std::size_t>(chunks.size(), 4));
            const std::size_t size = std::max<std::size_t>(n, grow);
            chunks.emplace_back(size);
            chunk_used = 0;
        }
        char* p = chunks[chunk_at].data + chunk_used;
        chunk_used += n;
        mem_bytes += n;
        return p;
    }
};

}  // namespace parvane::frontal_detail
