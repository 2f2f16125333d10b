#include "os.h"

namespace port {

Ports& Os() {
    static Ports ports;
    return ports;
}

void Install(const Ports& ports) { Os() = ports; }

std::string GetEnvOrEmpty(const std::string& name) {
    return Os().env->Get(name).value_or(std::string());
}

}  // namespace port
