#include "solver/run/stop.h"

#include <atomic>

namespace parvane {
namespace {
std::atomic<bool> g_stop{false};
}  // namespace

void request_stop() { g_stop.store(true, std::memory_order_relaxed); }
bool stop_requested() { return g_stop.load(std::memory_order_relaxed); }
void clear_stop_request() { g_stop.store(false, std::memory_order_relaxed); }

}  // namespace parvane
