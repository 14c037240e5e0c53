#include "entries/verb_forms_data.h"

#include <iterator>

namespace zuvo {

namespace {

// "ň" is the letter the dictionary stores for ñ. The accents of "oír" and
// "reír", and their absence in "freir", are part of the key.
constexpr IrregularVerb kIrregularVerbs[] = {
    // infinitive     participle                   gerund
    {u"decir",      fixedForm(u"dicho"),       fixedForm(u"diciendo")},
    {u"henchir",    fixedForm(u"henchido"),    fixedForm(u"hinchendo")},
    {u"erguir",     fixedForm(u"erguido"),     fixedForm(u"irguiendo")},
    {u"hacer",      fixedForm(u"hecho"),       fixedForm(u"haciendo")},
    {u"ir",         fixedForm(u"ido"),         fixedForm(u"yendo")},
    {u"oír",        fixedForm(u"oído"),        fixedForm(u"oyendo")},
    {u"poder",      fixedForm(u"podido"),      fixedForm(u"pudiendo")},
    {u"podrir",     fixedForm(u"podrido"),     fixedForm(u"pudriendo")},
    {u"pudrir",     fixedForm(u"podrido"),     fixedForm(u"pudriendo")},
    {u"poner",      fixedForm(u"puesto"),      fixedForm(u"poniendo")},
    {u"traer",      fixedForm(u"traído"),      fixedForm(u"trayendo")},
    {u"venir",      fixedForm(u"venido"),      fixedForm(u"viniendo")},
    {u"ver",        fixedForm(u"visto"),       fixedForm(u"viendo")},
    {u"abrir",      fixedForm(u"abierto"),     fixedForm(u"abriendo")},
    {u"cubrir",     fixedForm(u"cubierto"),    fixedForm(u"cubriendo")},
    {u"absolver",   fixedForm(u"absuelto"),    fixedForm(u"absolviendo")},
    {u"disolver",   fixedForm(u"disuelto"),    fixedForm(u"disolviendo")},
    {u"escribir",   fixedForm(u"escrito"),     fixedForm(u"escribiendo")},
    {u"imprimir",   fixedForm(u"impreso"),     fixedForm(u"imprimiendo")},
    {u"resolver",   fixedForm(u"resuelto"),    fixedForm(u"resolviendo")},
    {u"volver",     fixedForm(u"vuelto"),      fixedForm(u"volviendo")},
    {u"satisfacer", fixedForm(u"satisfecho"),  fixedForm(u"satisfaciendo")},
    {u"romper",     fixedForm(u"roto"),        fixedForm(u"rompiendo")},
    {u"freir",      fixedForm(u"frito"),       fixedForm(u"freyendo")},
    {u"morir",      fixedForm(u"muerto"),      fixedForm(u"muriendo")},
    {u"dormir",     onStem(2, u"ido"),         fixedForm(u"durmiendo")},
    {u"reír",       fixedForm(u"reído"),       fixedForm(u"riendo")},
    {u"elegir",     fixedForm(u"elegido"),     fixedForm(u"eligiendo")},
    {u"pedir",      fixedForm(u"pedido"),      fixedForm(u"pidiendo")},
    {u"seguir",     fixedForm(u"seguido"),     fixedForm(u"siguiendo")},
    {u"huir",       fixedForm(u"huido"),       fixedForm(u"huyendo")},
    {u"caer",       fixedForm(u"caído"),       fixedForm(u"cayendo")},
    {u"leer",       fixedForm(u"leído"),       fixedForm(u"leyendo")},
    {u"roer",       fixedForm(u"roído"),       fixedForm(u"royendo")},
    {u"raer",       fixedForm(u"raído"),       fixedForm(u"rayendo")},
    {u"taňer",      fixedForm(u"taňido"),      fixedForm(u"taňendo")},
    {u"muňir",      fixedForm(u"muňido"),      fixedForm(u"muňendo")},
    {u"ceňir",      fixedForm(u"ceňido"),      fixedForm(u"ciňendo")},
    {u"mullir",     fixedForm(u"mullido"),     fixedForm(u"mullendo")},
    {u"sentir",     fixedForm(u"sentido"),     fixedForm(u"sintiendo")},
};
static_assert(std::size(kIrregularVerbs) == 40);

// Only "eňir" and "ňir" can both match a word; the longer one comes first so
// that such a verb takes the vowel change.
constexpr VerbEndingPattern kEndingPatterns[] = {
    // last n  ending     gerund                       participle
    {4, u"ller",  onStem(4, u"llendo"),    onStem(2, u"ido")},
    {4, u"eňir",  onStem(4, u"iňendo"),    onStem(2, u"ido")},
    {5, u"entir", onStem(5, u"intiendo"),  onStem(2, u"ido")},
    {5, u"ormir", onStem(5, u"urmiendo"),  onStem(2, u"ido")},
    {5, u"traer", onStem(5, u"trayendo"),  onStem(2, u"ido")},
    {5, u"ertir", onStem(5, u"irtiendo"),  onStem(2, u"ido")},
    {4, u"guir",  onStem(4, u"guiendo"),   onStem(2, u"ido")},
    {4, u"erir",  onStem(4, u"iriendo"),   onStem(2, u"ido")},
    {4, u"orir",  onStem(4, u"uriendo"),   onStem(2, u"ido")},
    {4, u"egir",  onStem(4, u"igiendo"),   onStem(2, u"ido")},
    {4, u"edir",  onStem(4, u"idiendo"),   onStem(2, u"ido")},
    {4, u"llir",  onStem(4, u"llendo"),    onStem(2, u"ido")},
    {3, u"eir",   onStem(3, u"iendo"),     onStem(2, u"ido")},
    {3, u"ňer",   onStem(3, u"ňendo"),     onStem(3, u"ňido")},
    {3, u"ňir",   onStem(3, u"ňendo"),     onStem(3, u"ňido")},
    {3, u"eer",   onStem(2, u"yendo"),     onStem(2, u"ído")},
};

constexpr VerbEndingPattern kRegularEndings[] = {
    {2, u"ar", onStem(2, u"ando"),  onStem(2, u"ado")},
    {2, u"er", onStem(2, u"iendo"), onStem(2, u"ido")},
    {2, u"ir", onStem(2, u"iendo"), onStem(2, u"ido")},
};

}  // namespace

std::span<const IrregularVerb> irregularVerbTable() { return kIrregularVerbs; }
std::span<const VerbEndingPattern> verbEndingPatterns() { return kEndingPatterns; }
std::span<const VerbEndingPattern> regularVerbEndings() { return kRegularEndings; }

}  // namespace zuvo
