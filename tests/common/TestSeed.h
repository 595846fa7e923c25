#pragma once

#include <QByteArray>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// The seed of a test that chooses its moments at random. Fixed, so a failure
// repeats; OVILEN_TEST_SEED gives another one. The seed is printed, so the
// log of a failed run names what to repeat it with.
inline std::uint32_t TestSeed(const char *ATestName, std::uint32_t AFixed)
{
    const QByteArray given = qgetenv("OVILEN_TEST_SEED");
    bool ok = false;
    const std::uint32_t seed = given.isEmpty() ? AFixed : given.toUInt(&ok);
    const std::uint32_t used = given.isEmpty() || ok ? seed : AFixed;
    std::printf("%s: seed %u (repeat with OVILEN_TEST_SEED=%u)\n", ATestName, unsigned(used),
                unsigned(used));
    std::fflush(stdout);
    return used;
}
