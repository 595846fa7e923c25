#include "app/CommandLine.h"

#include "OvilenVersion.h"

#include <ostream>
#include <string_view>

namespace {

void WriteHelp(std::ostream &AOut)
{
    AOut << "Usage: ovilen [options]\n"
            "\n"
            "Shows the live picture of a classroom document camera, with zoom, rotation,\n"
            "stills, recordings and drawing over a captured page.\n"
            "\n"
            "Options:\n"
            "  -h, --help     show this help and exit\n"
            "  --version      show the version and exit\n"
            "\n"
            "Qt's own options (for example -platform, -style) are accepted as well.\n"
            "\n"
            "Environment:\n"
            "  OVILEN_SIMULATED_CAMERAS   simulated cameras to show beside real ones\n"
            "  QT_LOGGING_RULES           diagnostics, for example \"ovilen.*.debug=true\"\n"
            "\n"
            "Settings are kept in the Ovilen folder of your documents folder.\n";
}

} // namespace

std::optional<int> HandleCommandLine(int argc, const char *const *argv, std::ostream &AOut)
{
    for (int i = 1; i < argc && argv[i]; ++i) {
        const std::string_view arg(argv[i]);
        if (arg == "--")
            break;
        if (arg == "--help" || arg == "-h") {
            WriteHelp(AOut);
            return 0;
        }
        if (arg == "--version") {
            AOut << "ovilen " << OVILEN_VERSION << '\n';
            return 0;
        }
    }
    return std::nullopt;
}
