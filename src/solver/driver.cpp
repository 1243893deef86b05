#include "solver/driver.h"

#include "solver/read_input.h"
#include "solver/run_files.h"

namespace parvane {

void run_analysis(RunState& st, int& status) {
  start_run(st, status);
  if (status <= 0) read_head(st, status);
  if (status <= 0) {
    set_fixed_values(st);
    allocate_work_arrays(st, status);
  }
  if (status <= 0) read_input(st, status);
  if (status > 0) {
    end_run(st, status);
    return;
  }
  status = 0;
  end_run(st, status);
}

}  // namespace parvane
