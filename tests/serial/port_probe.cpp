// Checks a serial port, then opens it through the system's port service and
// holds it, so a watcher outside this process can check that open presses
// and close releases. Prints "exists" or "missing" and "listed" or "unlisted"
// (the port check), then "pressed" (or "refused") once the port is open,
// holds it half a second, closes it and prints "released".
#include "serial/port_check.h"
#include "serial/serial_port.h"

#include <algorithm>
#include <chrono>
#include <iostream>
#include <string>
#include <thread>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: port_probe PORT\n";
    return 2;
  }
  const auto check = obturix::makeSystemPortCheck();
  const auto listed = check->available();
  std::cout << (check->exists(argv[1]) ? "exists" : "missing") << std::endl;
  std::cout << (std::count(listed.begin(), listed.end(), argv[1]) ? "listed" : "unlisted")
            << std::endl;
  auto service = obturix::makeSystemSerialPortServiceFactory()->create();
  auto stream = service ? service->open(argv[1]) : nullptr;
  if (!stream) {
    std::cout << "refused" << std::endl;
    return 1;
  }
  std::cout << "pressed" << std::endl;
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  stream->close();
  std::cout << "released" << std::endl;
  return 0;
}
