#include "src/fProcData.h"

#include <cmath>
#include <condition_variable>
#include <iostream>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "GNSS/neu.h"
#include "PROGINC/ProgramUtil.h"
#include "src/fEpochRow.h"

const char* const kOutputError = "REZULTATOV NI MOGOCE ZAPISATI NA STANDARDNI IZHOD";

const char* const kTableHeader =
    "#   EPOHA[MJD]   dN[cm]  dE[cm]  dh[cm]      LAs[deg]    FIs[deg]     Rs[km]           "
    "LAm[deg]    FIm[deg]        Rm[km]";
const char* const kTableRule =
    "#---------------------------------------------------------------------------------------"
    "----------------------------------";

const char* const kCsvHeader =
    "utc,mjd,sod,dn_m,de_m,du_m,dx_m,dy_m,dz_m,sun_lon_deg,sun_lat_deg,sun_dist_km,moon_lon_deg,"
    "moon_lat_deg,moon_dist_km";

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

// Rows per block of the threaded loop, and blocks in flight per worker: a
// block's text is some 125 to 200 kB (table or CSV), so a few blocks per worker keep every
// worker busy while the memory stays a few MiB whatever the span.
constexpr std::uint64_t kBlockRows = 1024;
constexpr unsigned kBlocksPerWorker = 2;

// The single-threaded loop: each row computed, written and forgotten.
// The rows are gathered into kChunk characters or so before they are written,
// so that a long run makes few writes (and few system calls).
constexpr std::size_t kChunk = 64 * 1024;

void WriteRowsInTurn(const Havorkastilo& ptZ, std::uint64_t rows, std::ostream& out) {
    EpochRow row(ptZ);
    std::unique_ptr<char[]> text(new char[kChunk + EpochRow::kMaxText]);
    std::size_t used = 0;
    mjd e = ptZ.stE;
    for (std::uint64_t k = 0; k < rows; ++k) {
        used += row.Write(e, text.get() + used);
        if (used >= kChunk || k + 1 == rows) {
            out.write(text.get(), static_cast<std::streamsize>(used));
            if (!out) return;  // nothing more can be written: the caller reports it
            used = 0;
        }
        e += ptZ.dt;
    }
}

// The threaded loop.  The epochs are made in order on the calling thread, by
// the same repeated addition as in the single-threaded loop, in blocks of
// kBlockRows; worker threads compute and format whole blocks into their
// block's buffer; the calling thread writes the blocks in order.  A fixed set
// of blocks circulates, so the memory does not grow with the span.  One mutex
// and one condition variable guard the blocks' states.
class BlockLoop {
  public:
    BlockLoop(const Havorkastilo& ptZ, std::uint64_t rows, unsigned workers, std::ostream& out)
        : ptZ_(ptZ), rows_(rows), out_(out), blocks_(workers * kBlocksPerWorker) {
        for (Block& b : blocks_) {
            b.epochs.resize(kBlockRows);
            b.text.resize(kBlockRows * 200 + EpochRow::kMaxText);
        }
        for (unsigned w = 0; w < workers; ++w) {
            try {
                threads_.emplace_back(&BlockLoop::Work, this);
            } catch (const std::system_error&) {
                break;  // fewer threads than asked: the ones started do the work
            }
        }
    }

    ~BlockLoop() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        for (std::thread& t : threads_) t.join();
    }

    BlockLoop(const BlockLoop&) = delete;
    BlockLoop& operator=(const BlockLoop&) = delete;

    // False when no worker thread could be started.
    bool Running() const { return !threads_.empty(); }

    // Makes, hands out and writes every block; stops at the first failed write.
    void Run() {
        const std::uint64_t count = (rows_ + kBlockRows - 1) / kBlockRows;
        std::uint64_t made = 0, written = 0;
        mjd e = ptZ_.stE;
        std::unique_lock<std::mutex> lock(mutex_);
        while (written < count) {
            Block* free = made < count ? Find(Block::Free) : nullptr;
            if (free) {
                // Epochs of the next block, by repeated addition, outside the lock.
                free->state = Block::Filling;
                lock.unlock();
                free->seq = made;
                free->rows = static_cast<std::size_t>(rows_ - made * kBlockRows < kBlockRows
                                                          ? rows_ - made * kBlockRows
                                                          : kBlockRows);
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
            Block* next = FindDone(written);
            if (!next) {
                changed_.wait(lock);
                continue;
            }
            lock.unlock();
            out_.write(next->text.data(), static_cast<std::streamsize>(next->length));
            lock.lock();
            next->state = Block::Free;
            ++written;
            // Nothing more can be written: the caller reports it, and the
            // destructor stops the workers.
            if (!out_) return;
        }
    }

  private:
    struct Block {
        enum State { Free, Filling, Ready, Busy, Done };
        State state = Free;
        std::uint64_t seq = 0;    // place of the block in the output
        std::size_t rows = 0;     // epochs in the block
        std::vector<mjd> epochs;  // kBlockRows
        std::vector<char> text;   // the rows' text
        std::size_t length = 0;   // characters of text in use
    };

    Block* Find(Block::State s) {
        for (Block& b : blocks_)
            if (b.state == s) return &b;
        return nullptr;
    }

    Block* FindDone(std::uint64_t seq) {
        for (Block& b : blocks_)
            if (b.state == Block::Done && b.seq == seq) return &b;
        return nullptr;
    }

    // A worker: takes the ready block that comes first in the output, writes
    // its rows, hands it back.
    void Work() {
        EpochRow row(ptZ_);
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            if (stop_) return;
            Block* job = nullptr;
            for (Block& b : blocks_)
                if (b.state == Block::Ready && (!job || b.seq < job->seq)) job = &b;
            if (!job) {
                changed_.wait(lock);
                continue;
            }
            job->state = Block::Busy;
            lock.unlock();
            std::size_t length = 0;
            for (std::size_t k = 0; k < job->rows; ++k) {
                // Room for the longest row; rows of ordinary values are far
                // shorter, so the buffer grows only for extreme ones.
                if (job->text.size() - length < EpochRow::kMaxText)
                    job->text.resize(length + EpochRow::kMaxText);
                length += row.Write(job->epochs[k], job->text.data() + length);
            }
            job->length = length;
            lock.lock();
            job->state = Block::Done;
            changed_.notify_all();
        }
    }

    const Havorkastilo& ptZ_;
    const std::uint64_t rows_;
    std::ostream& out_;
    std::vector<Block> blocks_;
    std::vector<std::thread> threads_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool stop_ = false;
};

}  // namespace

void ProcData(Havorkastilo& ptZ) {
    if (ptZ.GetVerbose())
        std::cerr << kProgramName << "::CheckArguments(): RACUNAM PLIMOVANJE TRDNE ZEMLJE!"
                  << std::endl;

    // The table's print settings of north, east, up, left set for later
    // writers of neu values: centimetres, width 8, one decimal.
    neuns::WidthU = 8;
    neuns::WidthNE = neuns::WidthU;
    neuns::NDecU = 1;
    neuns::NDecNE = neuns::NDecU;
    neuns::Unit = 100;

    std::ostream& out = std::cout;
    if (ptZ.output == OutputFormat::Csv) {
        out << kCsvHeader << '\n';
    } else {
        out << kTableHeader << '\n' << kTableRule << '\n';
    }
    if (!out) return;  // not even the heading could be written: the caller reports it

    // The number of rows is fixed before the loop: the epochs are made by
    // repeated addition, whose rounding can carry the last of them a hair
    // past the end epoch, and the end epoch belongs to the results.
    const std::uint64_t rows = RowCount(ptZ.stE, ptZ.enE, ptZ.dt);
    const unsigned workers = WorkerThreads(ptZ);
    bool done = false;
    if (workers > 1 && rows > kBlockRows) {
        BlockLoop loop(ptZ, rows, workers, out);
        if (loop.Running()) {
            loop.Run();
            done = true;
        }
    }
    if (!done) WriteRowsInTurn(ptZ, rows, out);
    out.flush();
}
