// The word batch import through the word batch button: a 100,000-line
// two-field word file of realistic Spanish phrases checked, staged and
// merged into a fresh dictionary (and the same at 1,000,000 lines), and a
// second file of 1,000 lines imported on top of the 100,000, whose merge
// walks every key row staged before. Folders go when the program ends, so
// any number of repetitions can run. The peak resident memory of each
// import is reported beside its time, and the loading of the file (the
// first press, which reads it into the pane) as a figure of its own.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "app/FrmLexaro.h"
#include "bench_folder.h"
#include "memory.h"
#include "platform/scripted_dialogs.h"
#include "platform/user.h"

namespace zuvo::bench {
namespace {

namespace fs = std::filesystem;

// Articles, prepositions and pronouns: about a third of the words of a
// phrase, most of them dropped as stop tokens.
const char* const kFunctionWords[] = {"el", "la", "los", "las", "de", "del", "en", "a", "al", "un", "una",
                                      "con", "por", "para", "que", "se", "su", "sus", "y", "o", "no", "es",
                                      "lo", "muy", "más", "sin", "sobre", "entre", "hasta", "desde"};

const char* const kContentWords[] = {
    "casa", "tiempo", "año", "día", "vida", "mundo", "hombre", "mujer", "niňo", "ciudad", "país", "agua",
    "tierra", "parte", "lugar", "trabajo", "forma", "caso", "mano", "ojo", "noche", "hora", "puerta", "calle",
    "libro", "mesa", "camino", "coche", "tren", "mar", "río", "montaňa", "cielo", "sol", "luna", "fuego",
    "aire", "árbol", "flor", "perro", "gato", "pájaro", "pan", "leche", "vino", "café", "comida", "cena",
    "escuela", "maestro", "alumno", "médico", "hospital", "tienda", "mercado", "dinero", "precio", "cuenta",
    "banco", "oficina", "empresa", "gobierno", "ley", "guerra", "paz", "historia", "música", "canción",
    "película", "teatro", "juego", "fútbol", "equipo", "partido", "amigo", "familia", "padre", "madre",
    "hermano", "hijo", "abuelo", "esposa", "nombre", "palabra", "idioma", "pregunta", "respuesta", "idea",
    "problema", "razón", "verdad", "mentira", "miedo", "amor", "sueňo", "viaje", "playa", "verano", "invierno",
    "otoňo", "primavera", "mañana", "tarde", "semana", "mes", "siglo", "momento", "grande", "pequeňo",
    "nuevo", "viejo", "bueno", "malo", "alto", "bajo", "largo", "corto", "rojo", "azul", "verde", "blanco",
    "negro", "feliz", "triste", "fácil", "difícil", "rápido", "lento", "caliente", "frío", "limpio", "sucio",
    "rico", "pobre", "fuerte", "débil", "joven", "bonito", "feo", "caro", "barato", "lleno", "vacío",
    "abierto", "cerrado", "cerca", "lejos", "siempre", "nunca", "hoy", "ayer", "ahora", "después", "antes",
    "bien", "mal", "mucho", "poco", "tanto", "todo", "nada", "algo", "alguien", "nadie", "comer", "beber",
    "hablar", "vivir", "escribir", "leer", "correr", "andar", "dormir", "pensar", "saber", "poder", "querer",
    "tener", "hacer", "decir", "ver", "dar", "venir", "salir", "llegar", "poner", "llevar", "dejar",
    "seguir", "encontrar", "llamar", "volver", "empezar", "esperar", "buscar", "entrar", "trabajar",
    "estudiar", "comprar", "vender", "pagar", "abrir", "cerrar", "ganar", "perder", "jugar", "cantar",
    "bailar", "nadar", "viajar", "cocinar", "limpiar", "ayudar", "mirar", "escuchar", "sentir", "creer",
    "entender", "aprender", "enseňar", "recordar", "olvidar", "preguntar", "contestar", "vestido", "zapato",
    "sombrero", "camisa", "ventana", "cocina", "baňo", "jardín", "pueblo", "plaza", "iglesia", "puente",
    "estación", "aeropuerto", "avión", "barco", "carta", "periódico", "noticia", "color", "número", "letra",
    "papel", "lápiz", "reloj", "teléfono", "ordenador", "pantalla", "mensaje", "fiesta", "regalo", "sorpresa",
    "cumpleaňos", "boda", "salud", "enfermedad", "dolor", "cabeza", "corazón", "cuerpo", "pie", "brazo",
    "pierna", "cara", "boca", "diente", "pelo", "voz", "risa", "lágrima", "silencio", "ruido", "luz",
    "sombra", "piedra", "arena", "nieve", "lluvia", "viento", "nube", "tormenta", "campo", "bosque", "isla"};

const char* const kMeanings[] = {"房子", "时间", "年", "天", "生活", "世界", "男人", "女人", "孩子", "城市",
                                 "国家", "水", "土地", "部分", "地方", "工作", "形式", "情况", "手", "眼睛"};

// Content words by rank, the frequent ones more often but none dominating,
// as in a learner's phrase list.
class PhraseMaker {
 public:
  explicit PhraseMaker(unsigned seed) : rng_(seed) {
    std::vector<double> weights;
    for (size_t r = 0; r < std::size(kContentWords); ++r) weights.push_back(1.0 / (r + 20.0));
    content_ = std::discrete_distribution<size_t>(weights.begin(), weights.end());
  }
  std::string line() {
    std::uniform_int_distribution<int> words(2, 8), coin(0, 99);
    std::uniform_int_distribution<size_t> fn(0, std::size(kFunctionWords) - 1), mean(0, std::size(kMeanings) - 1);
    std::string spanish;
    const int n = words(rng_);
    for (int i = 0; i < n; ++i) {
      if (i) spanish += ' ';
      const bool function = i > 0 && i + 1 < n && coin(rng_) < 35;
      spanish += function ? kFunctionWords[fn(rng_)] : kContentWords[content_(rng_)];
      if (i + 1 < n && coin(rng_) < 3) spanish += ',';
    }
    return spanish + "/" + kMeanings[mean(rng_)] + kMeanings[mean(rng_)];
  }

 private:
  std::mt19937 rng_;
  std::discrete_distribution<size_t> content_;
};

fs::path writeWordFile(const fs::path& file, int lines, unsigned seed) {
  PhraseMaker maker(seed);
  std::ofstream out(file, std::ios::binary);
  for (int i = 0; i < lines; ++i) out << maker.line() << "\r\n";
  return file;
}

fs::path scratch(const std::string& what) { return benchFolder("words-" + what); }

// The program on a data folder, in batch mode with the word file open:
// what the user has done before the second press of the word button.
struct OpenWordFile {
  ScriptedDialogs dialogs;
  Application app;
  User user{app};
  FrmLexaro* main = nullptr;
  double loadSeconds = 0;  // the first press, reading the file into the pane

  OpenWordFile(const fs::path& data, const fs::path& file) : app(data, dialogs) {
    app.event([&] {
      main = &app.form<FrmLexaro>();
      main->Show();
    });
    user.click(main->Command11);
    if (!main->Command69.Visible) user.click(main->Command11);
    dialogs.fileAnswers.push_back(fromUtf8(file.string()));
    const auto start = std::chrono::steady_clock::now();
    user.click(main->Command69);
    loadSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  // The second press: the check, the import and its merge.
  void importIt() { user.click(main->Command69); }
  bool succeeded() const {
    return !dialogs.messages.empty() && dialogs.messages.back().prompt == u"恭喜您顺利完成批量单词添加！";
  }
};

int64_t recordsOf(const fs::path& data) {
  ScriptedDialogs dialogs;
  Application app(data, dialogs);
  int64_t n = 0;
  app.event([&] {
    DataSource& words = app.form<FrmLexaro>().Data6;
    for (words.MoveFirst(); !words.atEOF(); words.MoveNext()) ++n;
  });
  return n;
}

// A data folder after the 100,000-line import, made once.
const fs::path& importedDictionary() {
  static const fs::path data = [] {
    const fs::path dir = scratch("base");
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path file = writeWordFile(dir / "words.txt", 100000, 1);
    OpenWordFile run(dir / "data", file);
    run.importIt();
    return dir / "data";
  }();
  return data;
}

void BM_WordFile(benchmark::State& state) {
  const fs::path dir = scratch("full");
  const int lines = static_cast<int>(state.range(0));
  int64_t records = 0;
  double peak = 0, load = 0, import = 0;
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path file = writeWordFile(dir / "words.txt", lines, 1);
    {
      OpenWordFile run(dir / "data", file);
      load += run.loadSeconds;
      // The process's peak resident memory while one import runs, the
      // folders written and counted around it left out.
      if (!resetPeakMemory()) state.SkipWithError("the peak memory could not be started afresh");
      const auto start = std::chrono::steady_clock::now();
      state.ResumeTiming();
      run.importIt();
      state.PauseTiming();
      import += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      peak = std::max(peak, peakMemoryMb());
      if (!run.succeeded()) state.SkipWithError("the import did not succeed");
    }
    records = recordsOf(dir / "data");
    state.ResumeTiming();
  }
  state.counters["key_records"] = static_cast<double>(records);
  state.counters["peak_rss_mb"] = peak;
  // The file's load, not in the iteration time (the import alone is
  // timed), and the two presses together: what the user waits in all.
  const double n = static_cast<double>(state.iterations());
  state.counters["file_load_s"] = load / n;
  state.counters["load_and_import_s"] = (load + import) / n;
  fs::remove_all(dir);
}
BENCHMARK(BM_WordFile)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_WordFile)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_Second1000LinesOnTop(benchmark::State& state) {
  const fs::path& base = importedDictionary();
  const fs::path dir = scratch("second");
  int64_t before = 0, after = 0;
  double load = 0;
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::copy(base, dir / "data");
    before = recordsOf(dir / "data");
    const fs::path file = writeWordFile(dir / "more.txt", 1000, 2);
    {
      OpenWordFile run(dir / "data", file);
      load += run.loadSeconds;
      state.ResumeTiming();
      run.importIt();
      state.PauseTiming();
      if (!run.succeeded()) state.SkipWithError("the import did not succeed");
    }
    after = recordsOf(dir / "data");
    state.ResumeTiming();
  }
  state.counters["key_records_before"] = static_cast<double>(before);
  state.counters["key_records_added"] = static_cast<double>(after - before);
  state.counters["file_load_s"] = load / static_cast<double>(state.iterations());
  fs::remove_all(dir);
}
BENCHMARK(BM_Second1000LinesOnTop)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace zuvo::bench
