#include "src/fHelp.h"

#include <iostream>

namespace {

// The help text, line by line.  It is written in Windows-1250: the letters
// c-caron and z-caron are the single bytes 0xE8 and 0x9E.
const char* const kHelpLines[] = {
    "",
    "==========================================================================",
    "PROGRAM: Havorkastilo.exe",
    "NAMEN:   Program za izracun premika tocke zaradi plimovanja trdne Zemlje.",
    "==========================================================================",
    "",
    "UPORABA:",
    "========",
    "Program Havorkastilo.exe je konzolni program za izracun vpliva plimovanja",
    "trdne Zemlje na polozaj tocke (globalno, na elipsoidu GRS80).",
    "Program deluje tako, da se ga kli\xe8"
    "e iz ukazne vrstice DOS-a s podanimi",
    "parametri. V izogib klicanju programa iz DOS-a je mo\x9e"
    "no napisati datoteko",
    "s kon\xe8"
    "nico *.bat (angl. batch file), kamor vnesemo ukaze za DOS.",
    "",
    "Program se uporablja na slede\xe8"
    "i na\xe8"
    "in:",
    "",
    "Havorkastilo.exe  -p[d|c|r|x]POLOZAJ -e[1|2]EPOHA -edDT -g[k|o[S|L|N]] -v",
    "                  -o[t|c] -s -jN -m[s|p]",
    "",
    "Rezultati se vedno izpisejo na ekran. Z ukazom",
    "",
    "  Havorkastilo.exe [PARAMETRI] > REZULTATI.txt",
    "",
    "se rezultati izpisejo v datoteko z imenom REZULTATI.txt. Ukaza",
    "",
    "  Havorkastilo.exe [PARAMETRI] > REZULTATI.txt 2> REZULTATI.err",
    "",
    "pa se rezultati izpisejo v datoteko REZULTATI.txt, nastavitve programa, ko",
    "je nastavljen tudi parameter -v, pa v datoteko REZULTATI.err.",
    "",
    "PARAMETRI:",
    "==========",
    "",
    "-p[d|c|r|x]    Podaja polozaj tocke, za katero racunamo vpliv plimovanja",
    "               trdne Zemlje. Izbira znaka [d|c|r|x] podaja nacin zapisa",
    "               polozaja:",
    "                 -pd47.5823,14.3255,100.1  > geod. polozaj v dms obliki",
    "                 -pc47.8958,14.4766,100.1  > geod. polozaj v dec stopinjah",
    "                 -pr0.8958,0.2266,100.1  > geod. polozaj v radianih",
    "                 -px4252544,1100000,4500000  > geod. polozaj kartezicnih k.",
    "",
    "-e[1|2|d]      Podaja nastavitev epoh za izracun:",
    "                 -e1YYYY-MM-DD/hh:mm:ss.s > zacetni trenutek",
    "                 -e2YYYY-MM-DD/hh:mm:ss.s > koncni trenutek",
    "                 -edhh:mm:ss.s            > korak med zacetnim in koncnim",
    "                                            trenutkom izracuna",
    "",
    "-g[k|o[S|L|N]] Podaja nastavitev geometrije Sonce-Luna-Tocka, za analizo",
    "               vpliva plimovanja trdne Zemlje. Spremija se geodetsko do-",
    "               lzino Sonca in Lune, da pridemo v posebne situacije, kot",
    "                 -gk  > kolinearnost Sonce-Luna-Tocka, kjer se Soncu in",
    "                        Luni doloci geodetsko dolzino podane geodetske to-",
    "                        cke in sta Sonce in Luna zato oba v kulminaciji nad",
    "                        geodetsko tocko (pri pravih geodetskih sirinah).",
    "                 -goS > ortogonalni polozaj Sonce-Luna-Tocka, kjer je",
    "                        Sonce v kulminaciji nad tocko, Luna pa ima geo-",
    "                        detsko sirino za 90o vecjo od Sonca",
    "                 -goL > ortogonalni polozaj Sonce-Luna-Tocka, kjer je",
    "                        Luna v kulminaciji, Sonce pa ima  geodetsko",
    "                        sirino za 90o vecjo od Lune",
    "                 -goN > ortogonalni polozaj Sonce-Luna-Tocka, kjer ni ne",
    "                        Sonce in ne Luna v kulminaciji, sta za 90o po geo-",
    "                        detski dolzini odmaknjena od tocke (Sonce +90o,",
    "                        Luna -90o).",
    "",
    "-o[t|c]        Podaja obliko izpisa rezultatov:",
    "                 -ot  > tabela s stolpci stalne sirine (privzeto)",
    "                 -oc  > vrednosti, locene z vejico (CSV), za nadaljnjo",
    "                        obdelavo: cas UTC po ISO 8601, MJD, sekunde dneva,",
    "                        premik N, E, U ter X, Y, Z v metrih (9 decimalk),",
    "                        polozaj Sonca in Lune; -oc vkljuci tudi -s",
    "               Premik je v konvencionalnem sistemu brez plime (angl.",
    "               \"conventional tide-free\"): vsebuje tudi stalni del plimo-",
    "               vanja (letno povprecje dh je pri sirini 46o okoli -3 cm).",
    "",
    "-s             Strogo preverjanje parametrov: vsak napacen parameter",
    "               konca program z napako (izhodni status 2) brez izpisa",
    "               rezultatov. Polozaj, epohe in korak morajo biti zapisani",
    "               natanko v zgornjih oblikah, s tremi stevili, locenimi z",
    "               vejico, in s stevkami na vseh mestih datuma.",
    "",
    "-jN            Stevilo niti za izracun, N od 1 do 256; -j0 ali brez",
    "               -j: po ena nit na vsako jedro, ki ga program sme upo-",
    "               rabljati. Rezultati so pri vsakem N enaki.",
    "",
    "-m[s|p]        Podaja efemeride Sonca in Lune:",
    "                 -ms  > kratke analiticne vrste (privzeto): smeri na",
    "                        okoli 0.3o, razdalja Lune na okoli 0.2 %",
    "                 -mp  > natancne efemeride knjiznice ERFA (IAU 2006/",
    "                        2000A): Zemlja po eraEpv00, Luna po eraMoon98,",
    "                        zasuk v terestricni sistem po eraC2t06a; cas TT",
    "                        iz UTC in prestopnih sekund, UT1 = UTC (napaka",
    "                        do 0.9 s rotacije), brez gibanja pola",
    "",
    "-v             T.i. \"verbose mode\" - podrobnejsi izpis postopka",
    "               obdelave",
    "",
    "-h             Izpise pomoc/navodila programa",
    "",
    "",
};

}  // namespace

int HelpLineCount() {
    return static_cast<int>(sizeof kHelpLines / sizeof kHelpLines[0]);
}

const char* HelpLine(int i) {
    return (i >= 0 && i < HelpLineCount()) ? kHelpLines[i] : nullptr;
}

void pHelp(std::ostream& out) {
    for (const char* line : kHelpLines) out << line << std::endl;
}

void pHelp() {
    pHelp(std::cout);
}
