// The one exported entry of the solver library.
#include <memory>
#include <new>

#include "solver/run/driver.h"
#include "solver/run/run_files.h"
#include "solver/run/state.h"

extern "C" __attribute__((visibility("default"))) int ITORVE(int mode) {
  if (mode != 2) return 1;
  int status = 0;
  std::unique_ptr<parvane::RunState> st;
  try {
    st = std::make_unique<parvane::RunState>();
  } catch (...) {
    return parvane::kStatusAlloc;
  }
  try {
    parvane::run_analysis(*st, status);
  } catch (const std::bad_alloc&) {
    if (status <= 0) status = parvane::kStatusAlloc;
    try {
      parvane::end_run(*st, status);
    } catch (...) {
    }
  } catch (...) {
    if (status <= 0) status = parvane::kStatusRunFiles;
    try {
      parvane::end_run(*st, status);
    } catch (...) {
    }
  }
  return status;
}
