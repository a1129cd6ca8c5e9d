// How a printer's refusal reaches the application: the detail code of a refused reply
// (ResponseDetailToCode) becomes one of the device object's result codes.
#pragma once

namespace vtqeldevc {

// 0 stays 0; DeviceUseOtherJob and PrinterIDError give 8; Suspended, Initializing and
// ShuttingDown 11; NotConnectServer and ConnectTimeout 10; NotConnectInternet and
// OtherConnectError 9; any other detail 7.
int DetailToResult(int detail) noexcept;

} // namespace vtqeldevc
