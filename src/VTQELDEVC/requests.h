// Every request the library sends to a printer, filled from fixed templates.
#pragma once

#include "command_xml.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vtqeldevc {

// Results of the builders.
inline constexpr int kBuildOk = 0;
inline constexpr int kBuildFailed = 1;
inline constexpr int kBuildNullArgument = 2;

// Every builder writes into output (at least 4096 bytes) and stores the request's length.
int BuildDeviceGetCapability(std::span<char> output, std::size_t* length);
int BuildDeviceGetStatus(std::span<char> output, std::size_t* length);
int BuildDeviceGetConfiguration(std::span<char> output, std::size_t* length);
int BuildDeviceStartJob(std::span<char> output, std::size_t* length);
int BuildDeviceSetConfiguration(std::string_view job_id, std::span<char> output,
                                std::size_t* length);
int BuildDeviceEndJob(std::string_view job_id, std::span<char> output, std::size_t* length);
int BuildDeviceSetConfigurationWithoutStartJob(std::span<char> output, std::size_t* length,
                                               bool with_host_application_id);
int BuildQelGetCapability(std::span<char> output, std::size_t* length);
int BuildQelGetStatus(std::span<char> output, std::size_t* length);

// Appends the encrypted payload right after the request's XML text, in the same buffer; total
// receives XML length + payload length. 1 when both together do not fit output (nothing is
// written then), 2 on a null argument.
int AppendReceiveDataPayload(std::span<char> output, std::size_t xml_length,
                             std::span<const std::uint8_t> payload, std::size_t* total) noexcept;

// Builds the qel job's requests and holds the job description that all of them repeat.
class QelCommandBuilder {
public:
    // Returns a new job description, or nothing when none could be made.
    using JobDescriptionSource = std::function<std::optional<std::string>()>;

    QelCommandBuilder();
    explicit QelCommandBuilder(JobDescriptionSource source);

    const std::string& job_description() const noexcept { return job_description_; }
    // Replaces the held job description by a new one; false when none could be made.
    bool NewJobDescription();

    // Makes a new job description first.
    int BuildQelStartJob(std::span<char> output, std::size_t* length);
    // 1 also when the challenge answer cannot be made from the first StartJob reply.
    int BuildQelStartJobAuth(const PairList& first_reply, std::string_view key_text,
                             std::span<char> output, std::size_t* length);
    int BuildQelReceiveData(std::string_view job_id, std::string_view format,
                            std::string_view data_size, std::string_view digest,
                            std::span<char> output, std::size_t* length);
    int BuildQelEndJob(std::string_view job_id, std::span<char> output, std::size_t* length);

private:
    JobDescriptionSource source_;
    std::string job_description_;
};

// A new UUID in its 36-character lowercase text form.
std::optional<std::string> MakeUuidText();

} // namespace vtqeldevc
