// The cloud's share of the registration benchmark's floor: as many plain WinHTTP exchanges with
// the same simulated cloud as a registration made, each request and reply of the same sizes
// (synchronous, nothing checked or signed), each in a task and a worker thread of its own as the
// program's server requests are.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "simulated_cloud.h"

namespace printerutil::bench {

struct CloudExchange {
    std::string method;
    std::size_t requestBytes = 0;
    std::size_t replyBytes = 0;
    double answerMs = 0; // the server's own time to make the answer
};

// What the cloud recorded since its last reset.
std::vector<CloudExchange> RecordedCloudExchanges(qelcloud::SimulatedCloud& cloud);

// The floor's exchanges, the fastest of three rounds: the cloud reset and told the sizes first,
// then only the exchanges timed. Their time in ms, or a negative number when one failed.
double TimePlainExchanges(qelcloud::SimulatedCloud& cloud,
                          const std::vector<CloudExchange>& exchanges);

// The same exchanges through the program's own request engine (qelhttp::HttpRequestImpl: the
// user's proxy settings, asynchronous WinHTTP, a worker thread an exchange), for the split of
// the registration's time; in ms, negative when one failed.
double TimeEngineExchanges(qelcloud::SimulatedCloud& cloud,
                           const std::vector<CloudExchange>& exchanges);

} // namespace printerutil::bench
