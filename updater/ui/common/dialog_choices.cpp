// The dialog's port and transfer choices.
#include "ui/common/dialog_choices.h"

#include <algorithm>

#include "boot/serial_ports.h"
#include "boot/transfer_estimate.h"
#include "platform/data_folder.h"
#include "platform/program_folder.h"

namespace quillmar::ui {

DialogSettings dialogSettings(const DialogOptions& options,
                              const std::vector<boot::SerialPortInfo>& ports) {
  DialogSettings settings;
  settings.ports = boot::assignComPorts(ports, options.ports, boot::comButtonPorts());
  settings.programFolder = options.folder.empty() ? platform::programFolder() : options.folder;
  settings.block = options.block;
  settings.safety.legacy = options.legacy;
  settings.safety.keepCopy = !options.noBackup && !options.legacy;
  settings.safety.dataFolder = platform::userDataFolder();
  for (const std::string& given : options.ports) {
    if (!given.empty())
      settings.givenPorts.push_back(given);
  }
  return settings;
}

DialogChoices::DialogChoices(const DialogSettings& settings)
    : ports_(settings.ports),
      fast_(settings.block),
      safety_(settings.safety),
      listPorts_(settings.listPorts ? settings.listPorts
                                    : [] { return boot::listSerialPortDetails(); }),
      latencyOf_(settings.latencyOf ? settings.latencyOf : [](const std::string& device) {
        return boot::adapterLatencyMs(device);
      }) {}

PortChoices DialogChoices::choices(int button) {
  PortChoices choices{boot::describePorts(listPorts_()), 0};
  const auto listed =
      std::find_if(choices.ports.begin(), choices.ports.end(),
                   [&](const boot::ComPort& p) { return p.device == ports_[button].device; });
  choices.current = static_cast<int>(listed - choices.ports.begin());
  if (listed == choices.ports.end())
    choices.ports.push_back(ports_[button]);
  else
    ports_[button] = *listed;  // the system may describe it better now
  return choices;
}

void DialogChoices::prepare(boot::BootProgrammer& programmer, boot::Operation operation, int button,
                            const std::function<bool(const std::string&)>& ask) {
  const boot::ComPort& port = ports_[button];
  if (!fast_ && !declined_.contains(port.device)) {
    const std::optional<int> latency = latencyOf_(port.device);
    const std::optional<std::string> question =
        latency ? boot::latencyAdvice(port.label, *latency, operation) : std::nullopt;
    if (question && ask(*question))
      fast_ = true;
    else if (question)
      declined_.insert(port.device);
  }
  boot::PortDevices devices = boot::defaultPortDevices();
  devices[0] = ports_[0].device;
  devices[1] = ports_[1].device;
  programmer.serialLink().setDevices(devices);
  programmer.setSafety(safety_);
  programmer.setBlockMode(fast_);
}

}  // namespace quillmar::ui
