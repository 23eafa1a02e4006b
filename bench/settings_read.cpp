// Reading the settings file as it grows: the text alone, and start-up's eight
// reads of the store file. Google Benchmark fits the growth of the time with
// the number of values (the "BigO" lines): reading is linear, N, where looking
// each value up in a list made it N^2.
#include "platform/registry.h"
#include "platform/registrytext.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

const QString kKey = QStringLiteral("SOFTWARE\\Mirvo Vorla");

// A store of `n` values under the game's key, with the game's eight among them.
QByteArray StoreText(qint64 n)
{
    registry::Store store;
    registry::Key& key = registry::KeyAt(store, QStringLiteral("HKEY_LOCAL_MACHINE\\") + kKey);
    for (qint64 i = 0; i < n; ++i)
        registry::Put(key, QStringLiteral("Valor %1").arg(i), "True");
    for (const char* name : {"Verso", "Som", "Baralho Sujo", "No Escuro", "IP", "Nome", "Exibir Carta", "Manilha Nova"})
        registry::Put(key, QString::fromLatin1(name), "1");
    return registry::Format(store);
}

void ParseText(benchmark::State& state)
{
    const QByteArray text = StoreText(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(registry::Parse(text));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(ParseText)->Arg(5000)->Arg(10000)->Arg(20000)->Arg(40000)->Unit(benchmark::kMillisecond)->Complexity();

// What start-up does: eight values read, each from the file afresh.
void StartUpReads(benchmark::State& state)
{
    QTemporaryDir config;
    setenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()).constData(), 1);
    registry::SetValue(registry::Hive::LocalMachine, kKey, QStringLiteral("Nome"), "Ana");
    QFile store(registry::StorePath());
    if (!store.open(QIODevice::WriteOnly) || store.write(StoreText(state.range(0))) < 0)
        state.SkipWithError("the store file cannot be written");
    store.close();
    for (auto _ : state) {
        for (const char* name :
             {"Verso", "Som", "Baralho Sujo", "No Escuro", "IP", "Nome", "Exibir Carta", "Manilha Nova"})
            benchmark::DoNotOptimize(
                registry::QueryValue(registry::Hive::LocalMachine, kKey, QString::fromLatin1(name)));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(StartUpReads)->Arg(5000)->Arg(10000)->Arg(20000)->Arg(40000)->Unit(benchmark::kMillisecond)->Complexity();

} // namespace

BENCHMARK_MAIN();
