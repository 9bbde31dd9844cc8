#pragma once

#include <stdexcept>
#include <string>

namespace rig {

// Error numbers that the windows' decisions and messages rely on.
namespace errc {
constexpr int noActiveWindow = 91;
constexpr int badFileName = 52;
constexpr int fileNotFound = 53;
constexpr int fileExists = 58;
constexpr int diskFull = 61;
constexpr int permissionDenied = 70;
constexpr int pathFileAccess = 75;
constexpr int duplicateFunction = 1042;
constexpr int unbalancedPan = 1043;
constexpr int panWith8Bit = 1044;
constexpr int unbalancedTilt = 1045;
constexpr int tiltWith8Bit = 1046;
constexpr int noWheelAssignment = 1047;
constexpr int badSignature = 1052;
constexpr int badFileType = 1053;
constexpr int exportVerifyFailed = 1054;  // a lamp data file just written does not read back as meant
constexpr int fixtureMode = 1055;         // a fixture mode that cannot become a lamp
constexpr int badFixture = 1056;          // a fixture definition that cannot be read or understood
}  // namespace errc

// The source every error raised by this program carries; the import shows it as a title.
inline constexpr const char* errorSource = "TarsenRigsmith";

// A failure as the windows report it: a number, a description and a source.
class RigError final : public std::runtime_error {
public:
    RigError(int number, std::string description, std::string source = errorSource)
        : std::runtime_error(description),
          m_number(number),
          m_description(std::move(description)),
          m_source(std::move(source))
    {
    }

    [[nodiscard]] int number() const noexcept { return m_number; }
    [[nodiscard]] const std::string& description() const noexcept { return m_description; }
    [[nodiscard]] const std::string& source() const noexcept { return m_source; }

private:
    int m_number = 0;
    std::string m_description;
    std::string m_source;
};

}  // namespace rig
