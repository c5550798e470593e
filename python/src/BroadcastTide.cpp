// The broadcast tide of the Python module; see the header.
#include "python/src/BroadcastTide.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <exception>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>

#include "GNSS/TideEpoch.h"
#include "GNSS/TidePoint.h"
#include "GNSS/flh.h"
#include "GNSS/neu.h"
#include "GNSS/xyz.h"
#include "funkcije/KotnePretvorbe.h"

namespace havorkastilo::python {

namespace {

// Modified Julian Day of 1970-01-01.
constexpr std::int64_t kMjdOf1970 = 40587;

// Floor division of a by a positive b.
std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

// An operand's element strides along the axes of the broadcast shape (0
// where it repeats).
template <typename T>
std::vector<std::size_t> Strides(const Operand<T>& o, const std::vector<std::size_t>& shape) {
    std::vector<std::size_t> s(shape.size(), 0);
    std::size_t step = 1;
    const std::size_t skip = shape.size() - o.shape.size();
    for (std::size_t k = o.shape.size(); k-- > 0;) {
        if (o.shape[k] != 1) s[skip + k] = step;
        step *= o.shape[k];
    }
    return s;
}

template <typename T>
std::size_t Size(const Operand<T>& o) {
    std::size_t n = 1;
    for (std::size_t d : o.shape) n *= d;
    return n;
}

// Runs work(block) for blocks 0 .. blocks - 1 on up to `threads` workers
// (the calling thread among them); each worker gets its own state from
// make().  The exception of the lowest block that threw is rethrown once all
// have stopped; blocks after it may or may not have run.
template <typename MakeState, typename Work>
void RunBlocks(std::size_t blocks, unsigned threads, MakeState make, Work work) {
    std::atomic<std::size_t> next{0};
    std::mutex m;
    std::size_t failedBlock = blocks;
    std::exception_ptr failure;
    auto worker = [&]() {
        auto state = make();
        for (;;) {
            const std::size_t b = next.fetch_add(1);
            if (b >= blocks) return;
            try {
                work(state, b);
            } catch (...) {
                const std::lock_guard<std::mutex> lock(m);
                if (b < failedBlock) {
                    failedBlock = b;
                    failure = std::current_exception();
                }
                next.store(blocks);
                return;
            }
        }
    };
    const std::size_t n = std::min<std::size_t>(std::max(threads, 1u), blocks);
    std::vector<std::thread> pool;
    for (std::size_t k = 1; k < n; ++k) pool.emplace_back(worker);
    worker();
    for (auto& t : pool) t.join();
    if (failure) std::rethrow_exception(failure);
}

// The order in which the output is visited and the strides of everything
// along it.
struct Plan {
    std::vector<std::size_t> extent;  // lengths of the visited axes, outermost first
    // Element strides along the visited axes: output, lat, lon, height, ticks.
    std::vector<std::size_t> out, lat, lon, height, ticks;
    std::size_t size = 1;  // elements of the output
};

// An axis order that puts the axes along which `inner` does not change
// innermost, the others keeping their order.
Plan MakePlan(const std::vector<std::size_t>& shape, const std::vector<std::size_t> strides[5],
              bool innerByPoint) {
    const std::size_t nd = shape.size();
    std::vector<std::size_t> order;
    auto constantAlong = [&](std::size_t d) {
        if (innerByPoint) return strides[1][d] == 0 && strides[2][d] == 0 && strides[3][d] == 0;
        return strides[4][d] == 0;
    };
    for (std::size_t d = 0; d < nd; ++d)
        if (!constantAlong(d)) order.push_back(d);
    for (std::size_t d = 0; d < nd; ++d)
        if (constantAlong(d)) order.push_back(d);
    Plan p;
    std::vector<std::size_t>* lists[5] = {&p.out, &p.lat, &p.lon, &p.height, &p.ticks};
    for (std::size_t d : order) {
        p.extent.push_back(shape[d]);
        for (int k = 0; k < 5; ++k) lists[k]->push_back(strides[k][d]);
        p.size *= shape[d];
    }
    return p;
}

// A position along the visiting order: the index on each visited axis and
// the offsets into the output and the operands.
struct Cursor {
    std::vector<std::size_t> index;
    std::size_t out = 0, lat = 0, lon = 0, height = 0, ticks = 0;

    // The cursor at element `flat` of the visiting order.
    Cursor(const Plan& p, std::size_t flat) : index(p.extent.size(), 0) {
        for (std::size_t d = p.extent.size(); d-- > 0;) {
            index[d] = flat % p.extent[d];
            flat /= p.extent[d];
            Move(p, d, static_cast<std::ptrdiff_t>(index[d]));
        }
    }
    void Move(const Plan& p, std::size_t d, std::ptrdiff_t by) {
        const auto step = [by](std::size_t stride) {
            return static_cast<std::size_t>(by * static_cast<std::ptrdiff_t>(stride));
        };
        out += step(p.out[d]);
        lat += step(p.lat[d]);
        lon += step(p.lon[d]);
        height += step(p.height[d]);
        ticks += step(p.ticks[d]);
    }
    // The next element of the visiting order.
    void Advance(const Plan& p) {
        for (std::size_t d = p.extent.size(); d-- > 0;) {
            if (++index[d] < p.extent[d]) {
                Move(p, d, 1);
                return;
            }
            Move(p, d, -static_cast<std::ptrdiff_t>(index[d] - 1));
            index[d] = 0;
        }
    }
};

// The sines and cosines of each value of an operand of angles in degrees,
// when it repeats along some axis (else empty: each element finds its own).
std::vector<TidePoint::Angle> AngleTable(const Operand<double>& o, std::size_t outputSize) {
    std::vector<TidePoint::Angle> t;
    const std::size_t n = Size(o);
    if (n >= outputSize) return t;
    t.reserve(n);
    for (std::size_t k = 0; k < n; ++k) t.emplace_back(deg2rad(static_cast<long double>(o.data[k])));
    return t;
}

// What one worker keeps between the elements of its blocks.
struct Worker {
    SunMoon bodies;
    TidePoint point = TidePoint::Geodetic(flh(0, 0, 0));
    bool havePoint = false;
    double lat = 0, lon = 0, height = 0;  // the point set up, degrees and metres
    std::optional<TideEpoch> epoch;       // the epoch of `ticks` when not tabled
    std::int64_t ticks = 0;
    explicit Worker(Ephemeris e) : bodies(e) {}
};

// Whether two doubles are the same bits (equal values of different zeros
// or NaNs are not the same input to deg2rad).
bool Same(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

template <typename T>
void Compute(const TideRequest& r, const TideOutput<T>& out) {
    const std::vector<std::size_t> shape = BroadcastShape(r);
    std::vector<std::size_t> strides[5];
    strides[1] = Strides(r.lat, shape);
    strides[2] = Strides(r.lon, shape);
    strides[3] = Strides(r.height, shape);
    strides[4] = Strides(r.ticks, shape);
    Operand<double> whole{nullptr, shape};
    strides[0] = Strides(whole, shape);
    std::size_t outputSize = 1;
    for (std::size_t d : shape) outputSize *= d;
    if (outputSize == 0) return;

    // Each time value's epoch, when the times repeat and the table is not
    // too large.
    const std::size_t nTimes = Size(r.ticks);
    const bool tabled = nTimes < outputSize && nTimes <= kMaxEpochTable;
    std::vector<std::optional<TideEpoch>> epochs(tabled ? nTimes : 0);
    if (tabled) {
        constexpr std::size_t kEpochBlock = 64;
        RunBlocks((nTimes + kEpochBlock - 1) / kEpochBlock, r.threads,
                  [&] { return SunMoon(r.ephemeris); },
                  [&](SunMoon& bodies, std::size_t b) {
                      const std::size_t end = std::min(nTimes, (b + 1) * kEpochBlock);
                      for (std::size_t k = b * kEpochBlock; k < end; ++k)
                          epochs[k].emplace(TicksToMjd(r.ticks.data[k]), bodies);
                  });
    }
    // Without a table, repeated epochs are shared only by consecutive
    // elements: then the visiting order follows the times if they repeat.
    const bool innerByPoint = tabled || nTimes == outputSize;
    const Plan plan = MakePlan(shape, strides, innerByPoint);
    const std::vector<TidePoint::Angle> lats = AngleTable(r.lat, outputSize);
    const std::vector<TidePoint::Angle> lons = AngleTable(r.lon, outputSize);

    const std::size_t blocks = (outputSize + kBlock - 1) / kBlock;
    RunBlocks(blocks, r.threads, [&] { return Worker(r.ephemeris); },
              [&](Worker& w, std::size_t b) {
                  Cursor c(plan, b * kBlock);
                  const std::size_t end = std::min(outputSize, (b + 1) * kBlock);
                  neu local;
                  xyz ecef;
                  for (std::size_t k = b * kBlock; k < end; ++k, c.Advance(plan)) {
                      const double la = r.lat.data[c.lat], lo = r.lon.data[c.lon],
                                   h = r.height.data[c.height];
                      if (!w.havePoint || !Same(la, w.lat) || !Same(lo, w.lon) ||
                          !Same(h, w.height)) {
                          const TidePoint::Angle fi =
                              lats.empty() ? TidePoint::Angle(deg2rad(static_cast<long double>(la)))
                                           : lats[c.lat];
                          const TidePoint::Angle lam =
                              lons.empty() ? TidePoint::Angle(deg2rad(static_cast<long double>(lo)))
                                           : lons[c.lon];
                          w.point.SetGeodetic(fi, lam, h);
                          w.havePoint = true;
                          w.lat = la;
                          w.lon = lo;
                          w.height = h;
                      }
                      const TideEpoch* e = nullptr;
                      if (tabled) {
                          e = &*epochs[c.ticks];
                      } else {
                          const std::int64_t t = r.ticks.data[c.ticks];
                          if (!w.epoch || t != w.ticks) {
                              w.epoch.emplace(TicksToMjd(t), w.bodies);
                              w.ticks = t;
                          }
                          e = &*w.epoch;
                      }
                      w.point.Displacement(*e, local, ecef);
                      const std::size_t o = c.out;
                      if (out.north) out.north[o] = static_cast<T>(local.GetN());
                      if (out.east) out.east[o] = static_cast<T>(local.GetE());
                      if (out.up) out.up[o] = static_cast<T>(local.GetU());
                      if (out.x) out.x[o] = static_cast<T>(ecef.GetX());
                      if (out.y) out.y[o] = static_cast<T>(ecef.GetY());
                      if (out.z) out.z[o] = static_cast<T>(ecef.GetZ());
                  }
              });
}

}  // namespace

mjd TicksToMjd(std::int64_t ticks) {
    const std::int64_t day = FloorDiv(ticks, kTicksPerDay);
    return EpochOfDayTicks(static_cast<std::uint32_t>(day + kMjdOf1970), ticks - day * kTicksPerDay);
}

std::vector<std::size_t> BroadcastShape(const TideRequest& r) {
    const std::vector<std::size_t>* shapes[4] = {&r.lat.shape, &r.lon.shape, &r.height.shape,
                                                 &r.ticks.shape};
    std::size_t nd = 0;
    for (auto* s : shapes) nd = std::max(nd, s->size());
    std::vector<std::size_t> out(nd, 1);
    for (auto* s : shapes) {
        const std::size_t skip = nd - s->size();
        for (std::size_t k = 0; k < s->size(); ++k) {
            const std::size_t n = (*s)[k];
            std::size_t& o = out[skip + k];
            if (n == o || n == 1) continue;
            if (o != 1) throw std::invalid_argument("the shapes do not broadcast together");
            o = n;
        }
    }
    return out;
}

void ComputeTide(const TideRequest& r, const TideOutput<double>& out) {
    Compute(r, out);
}

void ComputeTide(const TideRequest& r, const TideOutput<long double>& out) {
    Compute(r, out);
}

void ComputeSunMoon(const std::int64_t* ticks, std::size_t n, Ephemeris ephemeris,
                    unsigned threads, double* sun, double* moon) {
    if (n == 0) return;
    RunBlocks((n + kBlock - 1) / kBlock, threads, [&] { return SunMoon(ephemeris); },
              [&](SunMoon& bodies, std::size_t b) {
                  const std::size_t end = std::min(n, (b + 1) * kBlock);
                  xyz su, mu;
                  long double sr = 0, mr = 0;
                  for (std::size_t k = b * kBlock; k < end; ++k) {
                      bodies.Position(TicksToMjd(ticks[k]), su, sr, mu, mr);
                      double* s = sun + 3 * k;
                      double* m = moon + 3 * k;
                      s[0] = static_cast<double>(su.GetX() * sr);
                      s[1] = static_cast<double>(su.GetY() * sr);
                      s[2] = static_cast<double>(su.GetZ() * sr);
                      m[0] = static_cast<double>(mu.GetX() * mr);
                      m[1] = static_cast<double>(mu.GetY() * mr);
                      m[2] = static_cast<double>(mu.GetZ() * mr);
                  }
              });
}

}  // namespace havorkastilo::python
