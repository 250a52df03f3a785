#include "base/task.h"

namespace zelta {

void Task::Stop() {
    if (thread_.joinable()) {
        thread_.request_stop();
        thread_.join();
    }
}

void Task::Detach() {
    if (thread_.joinable()) {
        thread_.detach();
    }
}

}  // namespace zelta
