// Namespace URIs of the registration document; the gateway uses the same texts.
#pragma once

namespace kivutil {

extern const char kRegistrationNamespaceUri[]; // xmlns:registration
extern const char kCapNamespaceUri[];          // xmlns:cap
extern const char kIjregNamespaceUri[];        // xmlns:ijreg
extern const char kXsdNamespaceUri[];          // xmlns:xsd

} // namespace kivutil
