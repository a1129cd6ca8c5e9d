// Turns the outcome of an exchange into the client's exception.
#pragma once

namespace qelhttp {

// Throws http_exception for a refused send (0x80030005), no status (0x80030012) or a status of
// 400 or more (0x80030011); returns for statuses 1 to 399.
void CheckHttpResult(int sendResult, int httpStatus);

} // namespace qelhttp
