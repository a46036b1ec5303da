// The dictionary of every table of the system: field definitions and indexes of the company
// tables in the order a company entry processes them, and of the program-wide tables of the
// installation directory. INITDAT and INITOSN create what is missing from it.
#include <algorithm>

#include "data/data.h"
#include "rt/dbf/dbf.h"
#include "rt/fmt/fmt.h"
#include "rt/os/os.h"

namespace tor {

namespace {

// Structures shared by several tables.
const Polja polja_komzmag = {
    "BRKOMMAG  C6  ", "SIFART    C6  ", "NAZART    C40 ", "JMERE     C3  ",
    "TARGR     C3  ", "KOLICINA  N123", "PRODCEN   N123", "RABAT     N159",
    "PSPOR     N6 3"};
const Polja polja_ukomzmag = {
    "BRKOMMAG  C6  ", "KUPAC     C4  ", "NAZKUP    C30 ", "MESKUP    C20 ",
    "BRDOK     C10 ", "DATDOK    D8  ", "DATKM     D8  "};
const Polja polja_fakt = {
    "BRFAK     C6  ", "SIFART    C6  ", "NAZART    C40 ", "JMERE     C3  ",
    "KOLICINA  N123", "PRODCEN   N123", "RABAT     N159", "TARGR     C3  ",
    "PSPOR     N6 3", "________1 L1  "};
const Polja polja_setup = {
    "COLOR     L1  ", "ZVUK      L1  ", "SAT       L1  ", "SASTAVIO  C15 ",
    "MESTO     C15 ", "TELEFON   C15 ", "ZR_OP     C11 ", "ZR_OPV    C11 ",
    "ZR_OPN    C11 ", "ZR_PP     C9  ", "DAT_OBR   D8  ", "RUC       N102"};

// Tax balance PB-2: one field per form row, RB01 … RB64, then the sub-rows of row 59.
Polja pb2_polja() {
    Polja p;
    for (int i = 1; i <= 64; ++i) p.push_back("RB" + rt::STRZERO(i, 2) + "      N152");
    for (const char* s : {"A", "B", "V", "G", "D"}) p.push_back(std::string("RB59") + s + "     N152");
    return p;
}

std::vector<TableDef> build_company_tables() {
    return {
        // 1
        {"mddob", Where::COMPANY, true,
         {"SIFRA     C4  ", "NAZIV     C30 ", "NAZIV2    C30 ", "ULICA     C30 ",
          "ULICA2    C30 ", "PTT       C5  ", "PAK       C6  ", "MESTO     C20 ",
          "ZIRO      C20 ", "PIB       C13 ", "PEPDV     C9  ", "TEL       C20 ",
          "KD        C1  ", "________1 L1  "},
         {{"mddob", "Sifra"}}},
        // 2
        {"mdart", Where::COMPANY, true,
         {"SIFRA     C6  ", "NAZIV     C40 ", "JMERE     C3  ", "TARGR     C3  ",
          "NABCEN    N123", "PRODCEN   N123", "POPKOL    N123", "NAB_KOL   N123",
          "DOBAV     C4  ", "USLUGA    L1  "},
         {{"mdart", "Sifra"}, {"mdart1", "TarGr+Sifra"}}},
        // 3
        {"mddef", Where::COMPANY, false,
         {"SIFPDV    C4  ", "SIFINT    C4  ", "PERIODPDV C1  "},
         {}},
        // 4
        {"kalk", Where::COMPANY, false,
         {"BRKALK    C6  ", "SIFART    C6  ", "NAZART    C40 ", "JMERE     C3  ",
          "KOLICINA  N123", "FAKCEN    N123", "RUCP      N7 2", "TARGR     C3  ",
          "PSPOR     N6 3", "POREZ     N6 3", "PRODCEN   N123"},
         {{"kalk", "BrKalk"}, {"kalk1", "BrKalk+TarGr"}, {"kalk2", "SifArt"}}},
        // 5
        {"ukalk", Where::COMPANY, true,
         {"BRKALK    C6  ", "DOBAV     C4  ", "NAZDOB    C30 ", "MESDOB    C20 ",
          "IZJAVA    C7  ", "BRDOK     C10 ", "DATDOK    D8  ", "DATKAL    D8  ",
          "TROSAK    N153", "PDV       N153", "PDV8      N153", "PDV18     N153",
          "ZAPLA     N153", "DATVAL    D8  ", "OTKUP     L1  "},
         {{"ukalk", "BrKalk"}, {"ukalk1", "dtos(datkal)"}}},
        // 6
        {"komzmag", Where::COMPANY, true,
         polja_komzmag,
         {{"komzmag", "BrKomMag"}, {"komzmag1", "SifArt"}}},
        // 7
        {"komrmag", Where::COMPANY, true,
         polja_komzmag,
         {{"komrmag", "BrKomMag"}, {"komrmag1", "SifArt"}}},
        // 8
        {"ukomzmag", Where::COMPANY, true,
         polja_ukomzmag,
         {{"ukomzmag", "BrKomMag"}, {"ukomzmg1", "dtos(DatKM)"}}},
        // 9
        {"ukomrmag", Where::COMPANY, true,
         polja_ukomzmag,
         {{"ukomrmag", "BrKomMag"}, {"ukomrmg1", "dtos(DatKM)"}}},
        // 10
        {"ufakt", Where::COMPANY, true,
         {"BRFAK     C6  ", "DATFAK    D8  ", "KUPAC     C4  ", "NAZKUP    C30 ",
          "NAZKUP2   C30 ", "PTTKUP    C5  ", "PAKKUP    C6  ", "MESKUP    C20 ",
          "ULKUP     C30 ", "ULKUP2    C30 ", "PIBKUP    C13 ", "DATPRO    D8  ",
          "DATVAL    D8  ", "ZAPLA     N153", "KONACNI   L1  ", "AVANSNI   C6  ",
          "AVANS     N153", "AVANS000  N153", "AVANS008  N153", "AVANS018  N153",
          "NAPOMENA1 C60 ", "NAPOMENA2 C60 ", "NAPOMENA3 C60 ", "NAPOMENA4 C60 ",
          "POROSL    N1  "},
         {{"ufakt", "BrFak"}}},
        // 11
        {"fakt", Where::COMPANY, true,
         polja_fakt,
         {{"fakt", "BrFak"}, {"fakt1", "SifArt"}}},
        // 12
        {"upfakt", Where::COMPANY, true,
         {"BRFAK     C6  ", "DATFAK    D8  ", "KUPAC     C4  ", "NAZKUP    C30 ",
          "NAZKUP2   C30 ", "PTTKUP    C5  ", "PAKKUP    C6  ", "MESKUP    C20 ",
          "ULKUP     C20 ", "ULKUP2    C20 ", "PIBKUP    C13 ", "DATPRO    D8  ",
          "DATVAL    D8  ", "ZAPLA     N153", "KONACNI   L1  ", "AVANSNI   C6  ",
          "AVANS     N153", "AVANS000  N153", "AVANS008  N153", "AVANS018  N153",
          "NAPOMENA1 C60 ", "NAPOMENA2 C60 ", "NAPOMENA3 C60 ", "NAPOMENA4 C60 ",
          "POROSL    N1  ", "________1 L1  "},
         {{"upfakt", "BrFak"}}},
        // 13
        {"pfakt", Where::COMPANY, true,
         polja_fakt,
         {{"pfakt", "BrFak"}, {"pfakt1", "SifArt"}}},
        // 14
        {"uafakt", Where::COMPANY, true,
         {"BRFAK     C6  ", "DATFAK    D8  ", "KUPAC     C4  ", "NAZKUP    C30 ",
          "NAZKUP2   C30 ", "PTTKUP    C5  ", "PAKKUP    C6  ", "MESKUP    C20 ",
          "ULKUP     C20 ", "ULKUP2    C20 ", "PIBKUP    C13 ", "DATPRO    D8  ",
          "DATVAL    D8  ", "ZAPLA     N153", "KONACNI   L1  ", "AVANSNI   C6  ",
          "AVANS     N153", "AVANS000  N153", "AVANS008  N153", "AVANS018  N153",
          "NAPOMENA1 C60 ", "NAPOMENA2 C60 ", "NAPOMENA3 C60 ", "NAPOMENA4 C60 "},
         {{"uafakt", "BrFak"}}},
        // 15
        {"afakt", Where::COMPANY, true,
         polja_fakt,
         {{"afakt", "BrFak"}, {"afakt1", "SifArt"}}},
        // 16
        {"prihod", Where::COMPANY, true,
         {"BROJS     N6  ", "DATUM     D8  ", "OPIS      C47 ", "VRSTA     C1  ",
          "IZNOS     N152", "TARGR     C3  ", "PSPOR     N6 3", "DATUPL    D8  ",
          "GOTUPL    N152", "BGUPL     N152", "CEKUPL    N152", "________1 L1  "},
         {{"prihod", "dtos(datum)"}}},
        // 17
        {"prihodrb", Where::COMPANY, false,
         {"BROJS     N6  "},
         {}},
        // 18
        {"vprihod", Where::COMPANY, true,
         {"DATUM     D8  ", "OPIS      C20 ", "IZNOS     N152"},
         {{"vprihod", "dtos(datum)"}}},
        // 19
        {"rashod", Where::COMPANY, true,
         {"VRDOK     C7  ", "VRSTAO    C4  ", "DATUM     D8  ", "VRSTA     C1  ",
          "DOBAV     C4  ", "BRDOK     C10 ", "DATDOK    D8  ", "DATVAL    D8  ",
          "IZNOS     N152", "PDV       N152", "PDV8      N152", "PDV18     N152",
          "OPIS      C30 ", "STRUKTURA C1  ", "P8        N152", "P9        N152",
          "P10       N152", "P11       N152", "________1 L1  "},
         {{"rashod", "dtos(datum)+vrdok"}, {"rashod1", "vrdok"}}},
        // 20
        {"zadkup", Where::COMPANY, true,
         {"BRZAD     C6  ", "DOBAV     C4  ", "OPIS      C30 ", "DATDOK    D8  ",
          "IZNOS     N152", "IZNOSP    N152"},
         {{"zadkup", "BrZad"}}},
        // 21
        {"ziror", Where::COMPANY, false,
         {"BANKA     C3  ", "SIFRA     C4  ", "IZVOD     C5  ", "DATIZV    D8  ",
          "OPIS      C40 ", "UPLATA    N152", "ISPLATA   N152", "STANJE    N152"},
         {{"ziror", "dtos(datizv)+izvod"}}},
        // 22
        {"zapis", Where::COMPANY, true,
         {"BRZAP     C4  ", "DATZAP    D8  ", "SIFRA     C6  ", "NAZIV     C20 ",
          "JMERE     C3  ", "KOLICINA  N123", "SPRODCEN  N123", "NPRODCEN  N123",
          "TARGR     C3  ", "PSPOR     N123", "________1 L1  "},
         {{"zapis", "brzap"}, {"zapis1", "brzap+targr"}, {"zapis2", "dtos(datzap)+brzap"}, {"zapis3", "sifra"}}},
        // 23
        {"tknjiga", Where::COMPANY, true,
         {"VRDOK     C7  ", "DATUM     D8  ", "OPIS      C50 ", "ZADUZ     N152",
          "RAZDUZ    N152", "DATUPL    D8  ", "IZNUPL    N152", "________1 L1  "},
         {{"tknjiga", "dtos(datum)"}, {"tknjiga1", "vrdok"}}},
        // 24
        {"kepuv", Where::COMPANY, false,
         {"VRDOK     C7  ", "DATUM     D8  ", "OPIS      C30 ", "ZADUZ     N152",
          "RAZDUZ    N152", "DATUPL    D8  ", "IZNUPL    N152"},
         {{"kepuv", "dtos(datum)"}, {"kepuv1", "vrdok"}}},
        // 25
        {"bu", Where::COMPANY, true,
         {"P1        N152", "P2        N152", "P3        N152", "P5        N152",
          "P6        N152", "P7        N152"},
         {}},
        // 26
        {"pb2", Where::COMPANY, true,
         pb2_polja(),
         {}},
        // 27
        {"mdrep", Where::COMPANY, false,
         {"SIFRA     C6  ", "NAZIV     C40 ", "JMERE     C3  ", "CENA      N123"},
         {{"MDRep", "Sifra"}}},
        // 28
        {"urepro", Where::COMPANY, true,
         {"BRREP     C6  ", "DATREP    D8  ", "DOBAV     C4  ", "NAZDOB    C30 ",
          "BRDOK     C10 ", "DATDOK    D8  ", "DATVAL    D8  ", "PDV       N153",
          "ZAPLA     N153"},
         {{"urepro", "BrRep"}}},
        // 29
        {"repro", Where::COMPANY, true,
         {"BRREP     C6  ", "SIFRA     C6  ", "DATUM     D8  ", "OPIS      C20 ",
          "VD        C1  ", "KOLICINA  N123", "CENA      N123", "IZVOD     C6  ",
          "IZNOS     N153"},
         {{"Repro", "Sifra+dtos(datum)"}}},
        // 30
        {"mdpro", Where::COMPANY, false,
         {"SIFRA     C6  ", "NAZIV     C40 ", "JMERE     C3  ", "CENA      N123"},
         {{"MDPro", "Sifra"}}},
        // 31
        {"proiz", Where::COMPANY, false,
         {"VEZA      C7  ", "SIFRA     C6  ", "DATUM     D8  ", "OPIS      C20 ",
          "KOLICINA  N123", "CENA      N123"},
         {{"Proiz", "Sifra+dtos(datum)"}}},
        // 32
        {"kproiz", Where::COMPANY, false,
         {"DATUM     D8  ", "OPIS      C30 ", "ULKOL     N123", "IZKOL     N123",
          "CENA      N123", "NOVACENA  N123"},
         {{"KProiz", "dtos(datum)"}}},
        // 33
        {"kono", Where::COMPANY, false,
         {"P13       N152", "P14       N152", "P15       N152", "P16       N152",
          "P17       N152", "P23       N152", "P24       N152", "P25       N152",
          "P26       N152", "P27       N152", "PSOPNT    N152", "PSOPVT    N152",
          "PSOPRT    N152", "PSOPNNT   N152", "PSPPNT    N152", "PSPPVT    N152",
          "PSPPRT    N152", "PSPPNNT   N152"},
         {}},
        // 34
        {"uplata", Where::COMPANY, false,
         {"OPERIOD   C11 ", "OBRACUN   N122", "UPLATA    N122", "DATDOS    D8  ",
          "DATUPL    D8  ", "IZVOD     C6  ", "VRSTA     C1  "},
         {{"uplata", "dtos(DatDos)+Vrsta"}, {"uplata1", "dtos(DatUpl)+Vrsta"}}},
        // 35
        {"prilog", Where::COMPANY, false,
         {"OPERIOD   N3  ", "DATUMU    D8  ", "UR_D      N122", "UR_R      N122",
          "UR_L      N122", "UR_M      N122", "UR_U      N122", "UR_K      N122",
          "UR_2      N122", "UR_I      N122"},
         {{"prilog", "OPeriod"}}},
        // 36
        {"pppre", Where::COMPANY, false,
         {"BRKALK    C6  ", "DATKAL    D8  ", "OPOREZ    N122", "PPOREZ    N122",
          "OPOREZP   N122", "PPOREZP   N122", "OPOREZPT  N122", "PPOREZPT  N122"},
         {{"pppre", "BrKalk"}, {"pppre1", "dtos(datkal)"}}},
        // 37
        {"joca", Where::COMPANY, false,
         {"BRKALK    C6  ", "DATKAL    D8  ", "T20       N122", "T3        N122",
          "T20C      N122", "T4        N122", "T9        N122", "T9C       N122",
          "T2        N122", "DGD       N122", "PDGD      N122"},
         {{"joca", "BrKalk"}, {"joca1", "dtos(datkal)"}}},
        // 38
        {"jocapren", Where::COMPANY, false,
         {"DATUM     D8  ", "T20P      N122", "T3P       N122", "T20CP     N122",
          "T4P       N122", "T9P       N122", "T9CP      N122", "T2P       N122"},
         {{"jocapren", "Datum"}}},
        // 39
        {"prenpor", Where::COMPANY, false,
         {"DATUM     D8  ", "OPOREZ    N122", "PPOREZ    N122", "OPOREZC   N122"},
         {{"prenpor", "datum"}}},
        // 40
        {"napd", Where::COMPANY, false,
         {"BRRAC     C6  ", "DATUM     D8  ", "UPLATA    N152", "UPLATAK   N152"},
         {{"napd", "BrRac"}}},
        // 41
        {"psdob", Where::COMPANY, true,
         {"SIFRA     C4  ", "DATUM     D8  ", "IZNOS     N152", "DUGUJE    N152",
          "POTRAZUJE N152"},
         {{"psdob", "Sifra"}}},
        // 42
        {"k_napd", Where::COMPANY, true,
         {"DATUM     D8  ", "DOBAV     C30 ", "RACUN     C10 ", "DATKAL    D8  ",
          "KALKUL    C10 ", "DUG       N152", "UPLATA    N152"},
         {{"k_napd", "datum"}}},
        // 43
        {"k_part", Where::COMPANY, false,
         {"DOKUMENT  C20 ", "DATUM     D8  ", "VALUTA    D8  ", "DUGUJE    N152",
          "POTRAZUJE N152"},
         {}},
        // 44
        {"pp4", Where::COMPANY, true,
         {"PPROIZ    N152", "PUSLUG    N152", "PTRGRO    N152", "PMATER    N152",
          "PFINAN    N152", "PVANRE    N152", "RTROSK    N152", "RNABAV    N152",
          "RPLATA    N152", "RHUMAN    N152", "RREPRE    N152", "RDUBIO    N152",
          "ROSTRO    N152", "RKAMAT    N152", "RSOCIJ    N152", "SOPINV    N152",
          "SOPULA    N152", "SOPZAR    N152", "OLAKS1    N152", "OLAKS2    N152",
          "OLAKS3    N152", "OLAKSN    N152", "BRZAPO    N152", "POVRSI    N152",
          "POVRS_PJ1 N152", "POVRS_PJ2 N152", "POVRS_PJ3 N152", "POVRS_PJ4 N152",
          "POVRS_PJ5 N152"},
         {}},
        // 45
        {"ppdg1s", Where::COMPANY, true,
         {"RB_6_1    N152", "RB_6_2    N152", "RB_6_3    N152", "RB_6_4    N152",
          "RB_6_5    N152", "RB_6_6    N152", "RB_6_7    N152", "RB_6_7_1  N152",
          "RB_6_7_2  N152", "RB_6_7_3  N152", "RB_7_1    N152", "RB_7_2    N152",
          "RB_8      N152", "RB_8_1    N152", "RB_8_2    N152", "RB_8_3    N152",
          "RB_8_4    N152", "RB_9_1    N152", "RB_9_2    N152", "RB_9_3    N152",
          "RB_9_4    N152", "RB_9_5    N152", "RB_9_6    N152", "RB_9_7    N152",
          "RB_9_8    N152", "RB_9_9    N152", "RB_9_10   N152", "RB_10_1   N152",
          "RB_10_2   N152", "RB_10_2_1 N152", "RB_10_2_2 N152", "RB_10_2_3 N152",
          "RB_10_3   N152", "RB_10_3_1 N152", "RB_10_3_2 N152", "RB_10_3_3 N152",
          "RB_10_4   N152", "RB_10_4_1 N152", "RB_10_4_2 N152", "RB_10_4_3 N152",
          "RB_10_5   N152", "RB_10_5_1 N152", "RB_10_5_2 N152", "RB_10_5_3 N152",
          "RB_11_1   N152", "RB_11_2   N152", "RB_11_2_1 N152", "RB_11_2_2 N152",
          "RB_11_3   N152", "RB_11_4   N152", "RB_11_5   N152", "RB_11_6   N152",
          "RB_11_7   N152", "RB_11_8   N152", "RB_11_8_1 N152", "RB_11_8_2 N152",
          "RB_11_8_3 N152", "RB_11_9   N152", "RB_11_9_1 N152", "RB_11_9_2 N152",
          "RB_11_9_3 N152", "RB_12_1   C50 ", "RB_12_2   N152", "RB_12_3   N152",
          "RB_12_4   N152", "RB_12_5   N152", "RB_12_5_1 N152", "RB_12_5_2 N152",
          "RB_12_6   N152", "RB_12_7   N152", "RB_12_8   N152", "RB_12_9   N152",
          "RB_12_10  N152", "RB_12_10_1N152", "RB_12_10_2N152", "RB_12_10_3N152",
          "RB_12_11  N152", "RB_12_11_1N152", "RB_12_11_2N152", "RB_12_11_3N152",
          "PIOPROC   N152", "ZDRPROC   N152", "NEZPROC   N152", "BRMESPORPEN152",
          "BRZAPO    N152", "POVRSI    N152", "POVRS_PJ1 N152", "POVRS_PJ2 N152",
          "POVRS_PJ3 N152", "POVRS_PJ4 N152", "POVRS_PJ5 N152", "UKVREDOS  N152"},
         {}},
        // 46
        {"stzart", Where::COMPANY, false,
         {"VEZA      C7  ", "SIFRA     C6  ", "NAZIV     C40 ", "JMERE     C3  ",
          "DATUM     D8  ", "KOLICINA  N123", "PRODCEN   N123", "TARGR     C3  ",
          "PSPOR     N122", "RUC       N122", "NAZDOB    C40 "},
         {{"stzart", "Sifra+dtos(datum)"}, {"stzart1", "Targr+Sifra"}}},
        // 47
        {"odjave", Where::COMPANY, false,
         {"DOBAV     C4  ", "BRODJ     C6  ", "DATOD     D8  ", "DATDO     D8  ",
          "DATISP    D8  "},
         {{"odjave", "dobav+brodj"}, {"odjave1", "brodj"}}},
        // 48
        {"epo", Where::COMPANY, false,
         {"DATUM     D8  ", "OPIS      C30 ", "VRSTA     C1  ", "IZNOS     N152",
          "STOPA     N5 2"},
         {{"epo", "datum"}}},
        // 49
        {"nomen", Where::COMPANY, false,
         {"SIFRAA    C6  ", "SIFRARM   C6  ", "KOLICINA  N125"},
         {{"nomen", "SifraA"}}},
        // 50
        {"pom_stp", Where::COMPANY, false,
         {"D1        D8  ", "D2        D8  ", "D3        D8  ", "C10_1     C10 ",
          "C10_2     C10 ", "C10_3     C10 ", "C20       C20 ", "C30       C30 ",
          "N1        N153", "N2        N153", "N3        N153", "N4        N153",
          "N5        N153", "N6        N153", "N7        N153", "N8        N153",
          "N9        N153"},
         {}},
        // 51
        {"pk1_stp", Where::COMPANY, false,
         {"DATUM     D8  ", "OPIS      C55 ", "P4A       N153", "P4B       N153",
          "P5        N153", "P6A       N153", "P6B       N153", "P7        N153",
          "P8        N153", "P9        N153", "P10       N153", "P11       N153",
          "P12       N153", "P13       N153", "P14       N153", "P15       N153",
          "P16       N153", "P17       N153", "P18       N153", "P19       N153",
          "P20       N153", "P21A      N153", "P21B      N153"},
         {}},
        // 52
        {"ios", Where::COMPANY, false,
         {"SIFRA     C4  ", "DOKUMENT  C20 ", "DATUM     D8  ", "VALUTA    D8  ",
          "DUGUJE    N152", "POTRAZUJE N152", "OZ        C1  "},
         {{"ios", "Sifra+Dokument"}, {"ios1", "Sifra+dtos(datum)"}}},
        // 53
        {"preneto", Where::COMPANY, false,
         {"DOKUMENT  C20 ", "NALOG     C6  ", "DATNAL    D8  ", "DATPREN   D8  "},
         {{"preneto", "Dokument"}}},
        // 54
        {"o_pdv", Where::COMPANY, true,
         {"DATUMOD   D8  ", "DATUMDO   D8  ", "PDV       N15 ", "PDV_KOR   N15 "},
         {{"o_pdv", "datumod"}}},
        // 55
        {"oopdv", Where::COMPANY, true,
         {"BROOPDV   C6  ", "DATUM     D8  ", "DOBAV     C4  ", "NAZDOB    C30 ",
          "BRDOK     C10 ", "DATDOK    D8  ", "IZNOS     N152", "PDV       N152"},
         {{"oopdv", "broopdv"}}},
        // 56
        {"oslpdv", Where::COMPANY, true,
         {"BROSLPDV  C6  ", "DATUM     D8  ", "DOBAV     C4  ", "NAZDOB    C30 ",
          "BRDOK     C10 ", "DATDOK    D8  ", "IZNOS     N152"},
         {{"oslpdv", "broslpdv"}}},
        // 57
        {"intobrgr", Where::COMPANY, true,
         {"BRINTOBR  C6  ", "DATUM     D8  ", "DOBAV     C4  ", "NAZDOB    C30 ",
          "OOSNOV    N152", "OSTOPA    N3  ", "OPDV      N152", "OZNAKA    N1  ",
          "POSNOV    N152", "PPDV      N152"},
         {{"intobrgr", "BrIntObr"}}},
        // 58
        {"konta", Where::COMPANY, true,
         {"ROBA_V    C8  ", "ROBA_M    C8  ", "UK_PDV_M  C8  ", "RUC_V     C8  ",
          "RUC_M     C8  ", "U_PDV_18  C8  ", "U_PDV_8   C8  ", "DOBAVLJAC C4  ",
          "PRIHOD_V  C8  ", "PRIHOD_M  C8  ", "NV_ROBA_V C8  ", "NV_ROBA_M C8  ",
          "I_PDV_18  C8  ", "I_PDV_8   C8  ", "KUPAC     C4  "},
         {}},
        // 59
        {"Cur_User", Where::COMPANY, false,
         {"CUR_USER  L1  "},
         {}},
        // 60
        {"vPoPdv", Where::COMPANY, true,
         {"BAZA      C8  ", "VRDOK     C1  ", "BRDOK     C7  ", "TABELA    C5  ",
          "PDVOSNV   N12 ", "PDVIZNV   N12 ", "PDVOSNN   N12 ", "PDVIZNN   N12 "},
         {{"vPoPdv", "Baza+VrDok+BrDok"}}},    };
}

std::vector<TableDef> build_program_tables() {
    return {
        {"set_up.vlt", Where::PROGRAM, true, polja_setup, {}},
        {"setup.vlt", Where::PROGRAM, true, polja_setup, {}},
        {"message.vlt", Where::PROGRAM, false, {"DATUM     D8  ", "TEKST     C60 "}, {{"message", "DATUM"}}},
        {"mdk_pro", Where::PROGRAM, true,
         {"SIFRA_PRO C3  ", "VRIME     C10 ", "VRIMEO    C10 ", "VRPREZIME C15 ",
          "VRJMBG    C13 ", "VRBRLK    C10 ", "VROPSTINA C20 ", "VRMESTO   C20 ",
          "VRULICA   C20 ", "VRULKBR   C3  ", "VRULKBRS  C1  ", "VRULSPR   C2  ",
          "VRULSTBR  C3  ", "VRULSTS   C1  ", "VRTELPBR  C3  ", "VRTELBR   C7  ",
          "FRNAZIVSKRC20 ", "FRNAZIVPUNC50 ", "FROPSTINA C20 ", "FRMESTO   C20 ",
          "FRMESTOPJ C20 ", "FRULICA   C20 ", "FRULKBR   C3  ", "FRULKBRS  C1  ",
          "FRULSPR   C2  ", "FRULSTBR  C3  ", "FRULSTS   C1  ", "FRTELPBR  C3  ",
          "FRTELBR   C7  ", "FRFAXPBR  C3  ", "FRFAXBR   C7  ", "FREMAIL   C30 ",
          "FRDELSIF  C5  ", "FRDELNAZ  C30 ", "FRDATOTV  D8  ", "FRBANKA1N C30 ",
          "FRBANKA1M C20 ", "FRBANKA1R C20 ", "FRBANKA2N C30 ", "FRBANKA2M C20 ",
          "FRBANKA2R C20 ", "FRBANKA3N C30 ", "FRBANKA3M C20 ", "FRBANKA3R C20 ",
          "FRAG5     C9  ", "FRPIB     C9  ", "FRMATBR   C8  ", "FRPEPDV   C9  ",
          "FRDATPDV  D8  ", "FRPORRAC  C7  ", "FRPORRACKBC1  ", "FRPIO     C10 ",
          "FRREGBR   C20 ", "FRIPJ1    C3  ", "FRIPJ2    C3  ", "FRIPJ3    C3  ",
          "FRIPJ4    C3  ", "FRIPJ5    C3  ", "FRDM02    C3  ", "PRGTIPDEL C3  ",
          "PRGTIPKNJ C1  ", "PRGTIPOP  C1  ", "PRGNAPOM  C69 "},
         {{"mdk_pro", "Sifra_pro"}}},
        {"mdk", Where::PROGRAM, false,
         {"SIFRA     C3  ", "DELAT     C3  ", "SIFDEL    C3  ", "NAZIV     C20 ",
          "VLASNIK   C20 ", "ULICA     C20 ", "PTT       C5  ", "MESTO     C20 ",
          "TEL       C20 ", "ZIRO      C20 ", "REGBR     C20 ", "PORRAC    C20 ",
          "PIO       C20 ", "JMBG      C20 ", "MATBR     C20 ", "ULICAVL   C20 ",
          "DATOTV    D8  ", "KLASIFIK  C2  ", "SIFRADEL  C10 "},
         {{"mdk", "Sifra"}}},
        {"ur147p", Where::PROGRAM, true,
         {"SIFRA     C3  ", "NAZIV     C20 ", "IZNOSUR1  N102", "IZNOSUR4  N102",
          "IZNOSUR7  N102", "IZNOSURP  N102"},
         {}},
        {"apid", Where::PROGRAM, true,
         {"SIFRA     C3  ", "NAZIV     C20 ", "BOP       C30 ", "SIFRAOP   C3  ",
          "PORPRIHOD N102", "PORPAUSAL N102", "DOPPIO    N102", "DPIORO    N102",
          "DOPZDR    N102", "DOPNEZ    N102", "TAKSA     N102", "SAMODOP   N102",
          "ZASZIVSRE N102", "KOMTAKSA  N102"},
         {}},
        {"apidvirm", Where::PROGRAM, true,
         {"SVRHAPR   C30 ", "SVRHADR   C30 ", "SIFPL     C3  ", "PRIMPR    C30 ",
          "PRIMDR    C30 ", "ZRPRIM    C20 "},
         {}},
        {"apidras", Where::PROGRAM, true,
         {"SIFRA     C3  ", "NAZIV     C20 ", "PORPRIHOD N4  ", "PORPAUSAL N4  ",
          "DOPPIO    N4  ", "DPIORO    N4  ", "DOPZDR    N4  ", "DOPNEZ    N4  ",
          "TAKSA     N4  ", "SAMODOP   N4  ", "ZASZIVSRE N4  ", "KOMTAKSA  N4  "},
         {}},
        {"strukras", Where::PROGRAM, true, {"STRUKTURA C1  ", "OPIS      C20 ", "KONTO     C8  "}, {}},
        {"mporuke", Where::PROGRAM, false, {"TELO      C18 ", "STATUS    C1  "}, {}},
        {"brstpstr", Where::PROGRAM, false, {"NAZIV     C20 ", "BRSTR     N15 "}, {{"brstpstr", "Naziv"}}},
    };
}

// The expense structure codes "strukras" is filled with.
constexpr std::string_view STRUKTURE = "1234567890ABCDEFGHIJKLMNOPQRSTUVWXYZ";

const TableDef& program_table(std::string_view name) {
    const TableDef* t = table_def(name);
    if (!t) throw rt::Error("Nepoznata datoteka: " + std::string(name));
    return *t;
}

// The table and its indexes in dir: created or upgraded (upgrade), or created when missing.
void create_with_indexes(const TableDef& t, const std::string& dir) {
    const std::string name = dir + t.name;
    if (t.upgrade)
        CRTDBF(name, t.polja);
    else if (!rt::os::exists(dbf_path(name)))
        MAKEDBF(name, t.polja);
    for (const IndexDef& ix : t.indexes) MAKENTX(name, ix.key, dir + ix.file);
}

// Fills an empty "strukras" with one record per structure code. The table is opened exclusively
// so that two workstations starting together cannot both fill it.
void fill_strukras(const std::string& name) {
    rt::dbf::AreaScope scope;
    auto& a = rt::dbf::current();
    if (!a.open(dbf_path(name), "", true)) return;
    if (a.reccount() == 0) {
        for (char c : STRUKTURE) {
            if (!a.append_blank()) throw rt::Error("Ne mogu da dodam zapis u " + a.path());
            a.put("STRUKTURA", std::string(1, c));
        }
        a.commit();
    }
    a.close();
}

std::string lower_name(std::string_view name) { return rt::LOWER(rt::os::file_name(name)); }

// The installation directory as a prefix that never falls back to DIR.
std::string osn_dir() { return OSNDIR.empty() ? std::string("./") : OSNDIR; }

}  // namespace

const std::vector<TableDef>& company_tables() {
    static const std::vector<TableDef> tables = build_company_tables();
    return tables;
}

const std::vector<TableDef>& program_tables() {
    static const std::vector<TableDef> tables = build_program_tables();
    return tables;
}

const TableDef* table_def(std::string_view name) {
    const std::string want = lower_name(name);
    const std::string stem = rt::os::strip_ext(want);
    for (const auto* list : {&company_tables(), &program_tables()})
        for (const TableDef& t : *list)
            if (rt::LOWER(t.name) == want) return &t;
    for (const auto* list : {&company_tables(), &program_tables()})
        for (const TableDef& t : *list)
            if (rt::os::strip_ext(rt::LOWER(t.name)) == stem) return &t;
    return nullptr;
}

void INITOSN() {
    for (const char* name : {"mdk_pro", "mdk", "ur147p", "apid", "apidvirm", "apidras", "strukras"})
        create_with_indexes(program_table(name), osn_dir());
    fill_strukras(osn_dir() + "strukras");
    rt::dbf::close_all();
}

void INITDAT() {
    for (const TableDef& t : company_tables()) {
        create_with_indexes(t, "");
        if (t.name == "nomen") {
            // The program-wide message and page-count tables, by their full paths.
            const std::string poruke = M_PORUKE.empty() ? osn_dir() + "mporuke" : M_PORUKE;
            const std::string stp = BR_STP_STR.empty() ? osn_dir() + "brstpstr" : BR_STP_STR;
            const TableDef& mp = program_table("mporuke");
            if (!rt::os::exists(dbf_path(poruke))) MAKEDBF(poruke, mp.polja);
            const TableDef& bs = program_table("brstpstr");
            if (!rt::os::exists(dbf_path(stp))) MAKEDBF(stp, bs.polja);
            // The index lies beside the table and has the table's name.
            MAKENTX(stp, bs.indexes[0].key, stp);
        }
    }
    rt::dbf::close_all();
}

}  // namespace tor
