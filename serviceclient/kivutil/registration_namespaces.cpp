#include "kivutil/registration_namespaces.h"

namespace kivutil {

const char kRegistrationNamespaceUri[] =
    "http://gateway.zendria.velto.example/ns/cap/2016/registration";
const char kCapNamespaceUri[] = "http://gateway.zendria.velto.example/ns/cap/2016/common";
const char kIjregNamespaceUri[] = "http://www.velto.example/ns/wdp/2016/06/ijreg";
const char kXsdNamespaceUri[] = "http://www.w3.org/2001/XMLSchema-instance";

} // namespace kivutil
