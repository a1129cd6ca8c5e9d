#include "printersim/printer_model.h"

namespace printersim {

const NetworkInterface* PrinterModel::find_interface(const std::string& id) const {
    for (const auto& i : interfaces) {
        if (i.id == id) {
            return &i;
        }
    }
    return nullptr;
}

NetworkInterface* PrinterModel::find_interface(const std::string& id) {
    return const_cast<NetworkInterface*>(std::as_const(*this).find_interface(id));
}

std::string PrinterModel::wireless_address() const {
    for (const char* id : {"wireless0", "wireless1", "wireless2"}) {
        const auto* i = find_interface(id);
        if (i && i->communication_method == "infrastructure_mode") {
            return i->hwaddress;
        }
    }
    return {};
}

std::string PrinterModel::key_address() const {
    const auto* wired = find_interface("wired0");
    if (wired && !wired->hwaddress.empty()) {
        return wired->hwaddress;
    }
    return wireless_address();
}

} // namespace printersim
