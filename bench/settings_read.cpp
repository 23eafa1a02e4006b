// The settings file as it grows to the store's bound (4 MB), filled with the
// shortest sections: start-up's eight reads of the store, and one save (the
// name, on leaving), against a plain store of the game's key alone. Google
// Benchmark fits the growth of the time with the file's size (the "BigO"
// lines): both are linear. The memory of a start with such a store is
// measured on the program itself, with /usr/bin/time -v.
#include "platform/registry.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

const QString kKey = QStringLiteral("SOFTWARE\\Mirvo Vorla");
const char* const kSettings[] = {"Verso", "Som",  "Baralho Sujo", "No Escuro",
                                 "IP",    "Nome", "Exibir Carta", "Manilha Nova"};

// A store of about `bytes`, at most, of one-value sections, with the game's
// eight values in its key at the end.
QByteArray StoreText(qint64 bytes)
{
    QByteArray game = "\n[HKEY_LOCAL_MACHINE\\" + kKey.toUtf8() + "]\n";
    for (const char* name : kSettings)
        game += '"' + QByteArray(name) + "\"=\"1\"\n";
    QByteArray text;
    for (int i = 0;; ++i) {
        const QByteArray section = "\n[s" + QByteArray::number(i) + "]\n\"v\"=\"1\"\n";
        if (text.size() + section.size() + game.size() > bytes)
            break;
        text += section;
    }
    return text + game;
}

// A store of the benchmark's size in a fresh settings folder, while it lives.
class StoreFolder {
public:
    explicit StoreFolder(benchmark::State& state)
    {
        setenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path()).constData(), 1);
        registry::SetValue(registry::Hive::LocalMachine, kKey, QStringLiteral("Nome"), "Ana");
        const QByteArray text = StoreText(state.range(0));
        QFile store(registry::StorePath());
        if (!store.open(QIODevice::WriteOnly) || store.write(text) != text.size())
            state.SkipWithError("the store file cannot be written");
        state.counters["bytes"] = double(text.size());
        state.SetComplexityN(text.size());
    }

private:
    QTemporaryDir config_;
};

// What start-up does: eight values read, each from the file afresh.
void StartUpReads(benchmark::State& state)
{
    const StoreFolder folder(state);
    for (auto _ : state) {
        for (const char* name : kSettings)
            benchmark::DoNotOptimize(
                registry::QueryValue(registry::Hive::LocalMachine, kKey, QString::fromLatin1(name)));
    }
}

// What leaving does: the name saved, the file replaced whole.
void SaveName(benchmark::State& state)
{
    const StoreFolder folder(state);
    for (auto _ : state)
        benchmark::DoNotOptimize(
            registry::SetValue(registry::Hive::LocalMachine, kKey, QStringLiteral("Nome"), "Bia"));
}

constexpr qint64 kBound = 4 * 1024 * 1024;

} // namespace

BENCHMARK(StartUpReads)
    ->Arg(0)->Arg(kBound / 16)->Arg(kBound / 4)->Arg(kBound)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(SaveName)
    ->Arg(0)->Arg(kBound / 16)->Arg(kBound / 4)->Arg(kBound)->Unit(benchmark::kMillisecond)->Complexity();

BENCHMARK_MAIN();
