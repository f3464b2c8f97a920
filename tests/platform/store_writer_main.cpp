// Saves the store over and over, for the kill loop of tools/store-kill-loop.sh:
//   store_writer write   alternates two versions of a large store for ever
//   store_writer check   exits 0 when the store is whole: absent, or exactly one of the two versions
#include "platform/registry.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>

namespace {

constexpr int kValues = 400;

QByteArray value_of(char version, int n) { return QByteArray(100 + n % 50, version) + QByteArray::number(n); }

void write_version(char version) {
    Registry registry;
    for (int n = 1; n <= kValues; ++n) registry.write_string("set", QString::number(n), value_of(version, n));
    if (!registry.flush()) std::fprintf(stderr, "save failed: cause %d, %s\n", registry.error().cause, qPrintable(registry.error().subject));
}

bool holds_version(const Registry& registry, char version) {
    for (int n = 1; n <= kValues; ++n)
        if (registry.read_string("set", QString::number(n)) != value_of(version, n)) return false;
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    if (argc == 2 && std::strcmp(argv[1], "write") == 0) {
        for (char version = 'a';; version = version == 'a' ? 'b' : 'a') write_version(version);
    }
    if (argc == 2 && std::strcmp(argv[1], "check") == 0) {
        const Registry registry;
        if (!registry.key_exists("set") || holds_version(registry, 'a') || holds_version(registry, 'b')) return 0;
        std::fprintf(stderr, "the store is neither the old nor the new version\n");
        return 1;
    }
    std::fprintf(stderr, "usage: store_writer write|check\n");
    return 2;
}
