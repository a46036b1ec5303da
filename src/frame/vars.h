// The program-wide memory variables of the program frame: identity, the setup record's values,
// the workstation settings, the VAT rate constants, the shared input pictures, the remembered menu
// positions and the mode variables the menus set before calling a document or report.
// Every subsystem reads them by name; the frame sets them at start-up and when a company is entered.
#pragma once
#include <string>

#include "calc/rates.h"
#include "rt/fmt/date.h"
#include "rt/term/console.h"

namespace tor {

// ---- identity (shown in the title line) ----
inline const std::string SOFTWARE = "TOR-PDV";
inline const std::string VER = "1.84.1";
inline const int PRIOR_Y = 2018;
inline std::string XFIRMA;          // the company line of the title line

// ---- start directory and workstation ----
inline std::string CDIR;            // the start directory
inline std::string CPCID;           // the workstation identifier
inline std::string TEMP_FIL;        // "Temp/" + CPCID + ".prn": this workstation's print file
inline std::string SUF = "set_up.vlt";  // the setup table ("setup.vlt" on a network installation)
inline std::string DOSPAR = "!";    // the command-line switch ("!" when none)

// ---- from the setup record ----
inline bool COLO = true;            // colour display
inline bool BEEP = true;            // sound on
inline bool CLOC = false;           // clock switch (kept)
inline std::string SAST;            // "Sastavio" name on forms
inline std::string MESS;            // place on forms
inline std::string TELS, ZROP, ZROPV, ZROPN, ZRPP;
inline rt::Date DDAN;               // the processing date
inline double PROC_RUC = 20;        // margin percentage for commission sales

// ---- the workstation settings file ----
inline std::string MEM_VAR;         // the whole text of "LocalSet/" + CPCID + ".set"
inline bool S_INDEX = false;        // rebuild the company's indexes at every entry
inline bool S_KALK = true;          // short costing
inline bool S_RACUN = false;        // short invoice
inline bool S_RAZPRENPDV = false;   // classify input VAT
inline bool S_ZALIHA = false;       // stock shown on the invoice
inline bool S_RACZAL = false;       // compute stock
inline bool S_NULAZALIHA = false;   // print zero-balance rows
inline bool W_PRINTER = false;      // Windows default printer instead of the matrix printer
inline bool S_PROMETOPIS = false;   // description of goods/services turnover
inline bool S_RACOTP = false;       // the invoice is also the delivery note

// ---- input pictures shared by the entry screens ----
inline const std::string BROJ = "9999999.99";
inline const std::string BROJ11 = "99999999.99";
inline const std::string BROJ122 = "999999999.99";
inline const std::string BROJ103 = "999999.999";
inline const std::string BROJ92 = "999999.99";
inline const std::string BROJ82 = "99999.99";
inline const std::string BROJ93 = "99999.999";
inline const std::string BROJ52 = "99.99";
inline const std::string BROJ62 = "999.99";

// ---- other program-wide values ----
inline rt::Date WDATOD, WDATDO;     // the default period (DDAN at start-up)
inline bool SL_SIFRA = false;       // activity "005"/"006": new article codes from the supplier's code
inline bool PSLSIFRA = false;       // registers propose the first free code (Alt+PgDn)
inline bool CUR_USER = false;       // this workstation holds the open company's "cur_user" exclusively
inline rt::ScreenImage KOM_FLEKA;   // row 2, columns 5-74: the company line over the main menu

// ---- remembered light-bar positions of the menus ----
inline int OSM = 1;
inline int KMAP = 1, KOP = 1, KIOP = 1, KST = 1, KSSO = 1, KMUPL = 1, KPOP = 1, KOPOP = 1,
           KDDD = 1, KMKA = 1, KZP = 1, KRP = 1;

// ---- mode variables set by menu items for the procedure they call ----
inline bool PART_OB = true;         // true: partners register, false: obligations
inline bool WOTKUP = false;         // costing: purchase from farmers
inline bool KAL_TROS = false;       // costing: cost invoice
inline bool KAL_REPR = false;       // costing: entertainment
inline int KALK_FORM = 1;           // activity "005": 1 form KR, 2 form KR-1
inline bool PO_STRUKTURI = false;   // expenditure list by structure
inline bool REKAP_STRUKT = false;   // expenditure recapitulation by structure
inline bool PRED_RAC = false;       // invoice: pro-forma
inline bool A_RAC = false;          // invoice: advance
inline bool K_RAC = false;          // invoice: final
inline bool ZADUZ = true;           // repro material: false = issue
inline int WZAD_RAZD = 1;           // commission warehouse: 1 receipt, 2 issue
inline bool DAJ_ZBIR = false;       // the stock summary runs as the selling-price check

}  // namespace tor
