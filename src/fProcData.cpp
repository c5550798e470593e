#include "src/fProcData.h"

#include <cmath>
#include <condition_variable>
#include <exception>
#include <iostream>
#include <memory>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

#include "PROGINC/ProgramUtil.h"
#include "src/fEpochRow.h"

const char* const kOutputError = "REZULTATOV NI MOGOCE ZAPISATI NA STANDARDNI IZHOD";

const char* const kExtrapolatedEcho =
    "::ProcData():         Efemeride ERFA: epohe zunaj let 1900-2100 - eraEpv00 ekstrapolira, "
    "napaka polozaja Sonca do priblizno 22 km (v letih 1900-2100 do 11.2 km)!";

std::uint64_t RowCount(const mjd& start, const mjd& end, long double dt) {
    if (!(start <= end)) return 0;
    const long double q = (end - start) / dt;
    // A start within the comparison's tolerance after the end: that one row.
    if (!(q >= 0)) return 1;
    long double k = std::floor(q);
    // The quotient of a span and a step that binary cannot hold exactly may
    // fall a hair short of the whole number of steps that fit.
    if (k + 1 - q <= 1e-9 * (k + 1)) k += 1;
    // Spans and steps of valid settings give far fewer rows than this bound.
    if (!(k < 1e19)) return 10000000000000000000ULL;
    return static_cast<std::uint64_t>(k) + 1;
}

unsigned WorkerThreads(const Havorkastilo& ptZ) {
    return ptZ.threads ? ptZ.threads : AvailableProcessors();
}

namespace {

// Rows per block.  A block's text is some 125 to 200 kB (table or CSV).
constexpr std::uint64_t kBlockRows = 1024;
// Blocks in flight per worker thread, so that a worker finds the next block
// made while the calling thread writes one; and the most memory all blocks
// together may take, which bounds the blocks (and so the threads) whatever
// -j asks: 8 MiB, some 40 blocks of the table or 26 of CSV.
constexpr unsigned kBlocksPerWorker = 2;
constexpr std::size_t kBlockMemory = 8u << 20;

// Characters a block's text is made ready for: an ordinary row of the table
// takes 123, of CSV some 200; room for one longest row besides, and the
// buffer grows when extreme values need more.
std::size_t BlockText(bool csv) {
    return kBlockRows * (csv ? 200 : 128) + EpochRow::kMaxText;
}

// The epoch loop, for every thread count.
//
// The rows are cut into blocks of kBlockRows epochs, numbered in output
// order.  A fixed set of blocks circulates, so the memory does not grow with
// the span.  One mutex guards every block's state (and the loop's shared
// flags); one condition variable announces every change of state.  A block
// passes through these states, and is owned in each by one thread alone,
// which may touch its epochs, text and counts outside the lock:
//
//   Free     nobody; its memory waits to be reused.
//   Filling  the calling thread, which writes the block's epochs, in order,
//            by the same repeated addition as every block before it.
//   Ready    nobody: its epochs are final and wait for a computer.
//   Busy     the one thread that took it, a worker (or the calling thread
//            when there are no workers), which computes its rows into its
//            text.
//   Done     nobody: its text is final and waits for its turn.
//   Writing  the calling thread, which writes its text to the output once
//            every block before it is written.
//
// Ownership passes only when the state changes under the lock: Free to
// Filling and Done to Writing by the calling thread, Ready to Busy by the
// thread that takes the block; the owner ends its state (Filling to Ready,
// Busy to Done, Writing to Free) under the lock and notifies.  A worker takes
// the Ready block that comes first in the output.  The calling thread makes
// blocks while some are Free, writes the next block as soon as it is Done,
// and, without workers, computes the Ready ones itself: -j1 runs the same
// loop body on the calling thread alone.
class BlockLoop {
  public:
    BlockLoop(const Havorkastilo& ptZ, std::uint64_t rows, unsigned workers, std::ostream& out)
        : ptZ_(ptZ), rows_(rows), count_((rows + kBlockRows - 1) / kBlockRows), out_(out) {
        const bool csv = ptZ.output == OutputFormat::Csv;
        const std::size_t perBlock = BlockText(csv) + kBlockRows * sizeof(mjd);
        // With workers, kBlocksPerWorker each, within kBlockMemory; never more
        // blocks than there is work for.  Without, one: the calling thread
        // makes, computes and writes it in turn.
        std::uint64_t wanted = workers > 1 ? std::uint64_t{workers} * kBlocksPerWorker : 1;
        const std::uint64_t fit = kBlockMemory / perBlock;
        if (wanted > fit) wanted = fit;
        if (wanted > count_) wanted = count_;
        if (wanted < 1) wanted = 1;
        // Under a memory limit, fewer blocks; not even one is a failure that
        // reaches main as std::bad_alloc.
        blocks_.reserve(static_cast<std::size_t>(wanted));
        for (std::uint64_t b = 0; b < wanted; ++b) {
            try {
                blocks_.emplace_back();
                blocks_.back().epochs.resize(kBlockRows);
                blocks_.back().text.resize(BlockText(csv));
            } catch (const std::bad_alloc&) {
                blocks_.pop_back();
                if (blocks_.empty()) throw;
                break;
            }
        }
        // No more workers than blocks that can be computed at once, nor than
        // there are blocks of work.
        // One block at a time gains nothing from a thread of its own.
        unsigned threads = workers > 1 ? workers : 0;
        if (threads > blocks_.size()) threads = static_cast<unsigned>(blocks_.size());
        if (threads < 2) threads = 0;
        // Under a memory or process limit, fewer threads: the ones started
        // do the work, or, with none, the calling thread.  (The room for
        // them is taken first, so that nothing can throw once one runs.)
        try {
            threads_.reserve(threads);
        } catch (const std::bad_alloc&) {
            threads = 0;
        }
        for (unsigned w = 0; w < threads; ++w) {
            try {
                threads_.emplace_back(&BlockLoop::Work, this);
            } catch (const std::exception&) {
                break;
            }
        }
    }

    ~BlockLoop() { Stop(); }

    BlockLoop(const BlockLoop&) = delete;
    BlockLoop& operator=(const BlockLoop&) = delete;

    // Makes, computes (through the workers) and writes every block; stops at
    // the first failed write, and rethrows what a worker threw.  Returns true
    // when an epoch's ephemeris was extrapolated.
    bool Run() {
        // Without workers, the rows are computed here, by this object.
        std::unique_ptr<EpochRow> own;
        if (threads_.empty()) own.reset(new EpochRow(ptZ_));

        std::uint64_t made = 0, written = 0;
        bool extrapolated = false;
        mjd e = ptZ_.stE;
        std::unique_lock<std::mutex> lock(mutex_);
        while (written < count_) {
            if (failure_) break;
            Block* next = Find(Block::Done, written);
            if (next) {
                next->state = Block::Writing;
                lock.unlock();
                out_.write(next->text.data(), static_cast<std::streamsize>(next->length));
                lock.lock();
                extrapolated = extrapolated || next->extrapolated;
                next->state = Block::Free;
                ++written;
                changed_.notify_all();
                // Nothing more can be written: the caller reports it, and
                // Stop ends the workers.
                if (!out_) break;
                continue;
            }
            Block* free = made < count_ ? Find(Block::Free) : nullptr;
            if (free) {
                free->state = Block::Filling;
                lock.unlock();
                free->seq = made;
                const std::uint64_t left = rows_ - made * kBlockRows;
                free->rows = static_cast<std::size_t>(left < kBlockRows ? left : kBlockRows);
                for (std::size_t k = 0; k < free->rows; ++k) {
                    free->epochs[k] = e;
                    e += ptZ_.dt;
                }
                lock.lock();
                free->state = Block::Ready;
                ++made;
                changed_.notify_all();
                continue;
            }
            Block* ready = own ? FirstReady() : nullptr;
            if (ready) {
                ready->state = Block::Busy;
                lock.unlock();
                Compute(*own, *ready);
                lock.lock();
                ready->state = Block::Done;
                continue;
            }
            changed_.wait(lock);
        }
        lock.unlock();
        Stop();
        if (failure_) std::rethrow_exception(failure_);
        return extrapolated;
    }

  private:
    struct Block {
        enum State { Free, Filling, Ready, Busy, Done, Writing };
        State state = Free;
        std::uint64_t seq = 0;     // place of the block in the output
        std::size_t rows = 0;      // epochs in the block
        std::vector<mjd> epochs;   // kBlockRows
        std::vector<char> text;    // the rows' text
        std::size_t length = 0;    // characters of text in use
        bool extrapolated = false; // an epoch's ephemeris was extrapolated
    };

    // The block in state s (with sequence number seq, when given).
    Block* Find(Block::State s, std::uint64_t seq = ~std::uint64_t{0}) {
        for (Block& b : blocks_)
            if (b.state == s && (seq == ~std::uint64_t{0} || b.seq == seq)) return &b;
        return nullptr;
    }

    // The Ready block that comes first in the output.
    Block* FirstReady() {
        Block* job = nullptr;
        for (Block& b : blocks_)
            if (b.state == Block::Ready && (!job || b.seq < job->seq)) job = &b;
        return job;
    }

    // The rows of a Busy block, by its owner.
    static void Compute(EpochRow& row, Block& b) {
        std::size_t length = 0;
        for (std::size_t k = 0; k < b.rows; ++k) {
            // Room for the longest row; rows of ordinary values are far
            // shorter, so the buffer grows only for extreme ones.
            if (b.text.size() - length < EpochRow::kMaxText)
                b.text.resize(length + EpochRow::kMaxText);
            length += row.Write(b.epochs[k], b.text.data() + length);
        }
        b.length = length;
        b.extrapolated = row.Extrapolated();
    }

    // A worker: takes the Ready block that comes first in the output,
    // computes it, hands it on; keeps what it throws for Run.
    void Work() {
        std::unique_lock<std::mutex> lock(mutex_);
        try {
            lock.unlock();
            EpochRow row(ptZ_);
            lock.lock();
            for (;;) {
                if (stop_ || failure_) return;
                Block* job = FirstReady();
                if (!job) {
                    changed_.wait(lock);
                    continue;
                }
                job->state = Block::Busy;
                lock.unlock();
                Compute(row, *job);
                lock.lock();
                job->state = Block::Done;
                changed_.notify_all();
            }
        } catch (...) {
            if (!lock.owns_lock()) lock.lock();
            if (!failure_) failure_ = std::current_exception();
            changed_.notify_all();
        }
    }

    // Ends the workers and waits for them.
    void Stop() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        for (std::thread& t : threads_)
            if (t.joinable()) t.join();
    }

    const Havorkastilo& ptZ_;
    const std::uint64_t rows_;
    const std::uint64_t count_;  // blocks of work
    std::ostream& out_;
    std::vector<Block> blocks_;
    std::vector<std::thread> threads_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool stop_ = false;
    std::exception_ptr failure_;
};

}  // namespace

void ProcData(Havorkastilo& ptZ) {
    if (ptZ.GetVerbose())
        std::cerr << kProgramName << "::CheckArguments(): RACUNAM PLIMOVANJE TRDNE ZEMLJE!"
                  << std::endl;

    std::ostream& out = std::cout;
    out << (ptZ.output == OutputFormat::Csv ? CsvWriter::Heading() : TableWriter::Heading());
    if (!out) return;  // not even the heading could be written: the caller reports it

    // The number of rows is fixed before the loop: the epochs are made by
    // repeated addition, whose rounding can carry the last of them a hair
    // past the end epoch, and the end epoch belongs to the results.
    const std::uint64_t rows = RowCount(ptZ.stE, ptZ.enE, ptZ.dt);
    bool extrapolated = false;
    if (rows > 0) {
        BlockLoop loop(ptZ, rows, WorkerThreads(ptZ), out);
        extrapolated = loop.Run();
    }
    out.flush();
    if (extrapolated && ptZ.GetVerbose()) std::cerr << kProgramName << kExtrapolatedEcho << std::endl;
}
