#include "part_b_sequence.h"

#include <algorithm>
#include <cstdlib>

#include "boundaries.h"
#include "dat_file.h"
#include "help_screens.h"
#include "loads.h"
#include "part_b_modify.h"
#include "platform/platform.h"
#include "prompts.h"
#include "records.h"
#include "toolbar.h"

namespace vortan {

void write_empty_loads(std::ostream& out) {
  out << "nbset npset\n" << Rec().I(0, 5).I(0, 5).str() << "\n";
  out << "   ld  node  x-cmpnt    y-cmpnt\n" << "1\n";
}

void INCREMENTS(int ndofn, AnalysisControl& c, std::ostream& out, std::ostream& prt) {
  out << "nincs    increment sizes\n";
  if (ndofn > 0) {
    out << "    1 1.00\n";
    return;
  }
  if (YESNOG("Do you want to define an incremental analysis?") != 'y') {
    out << "\n";
    return;
  }
  DialogSpec count;
  count.caption = "Incremental loading";
  count.icon = DialogIcon::Question;
  count.fields.push_back(integer_field("How many increments?", std::clamp(c.nincs, 1, 9), 1, 9, 3));
  count.buttons = {"OK"};
  plat().dialog(count);
  c.nincs = static_cast<int>(std::clamp(count.fields[0].ivalue, 1L, 9L));

  DialogSpec sizes;
  sizes.caption = "Incremental loading";
  sizes.icon = DialogIcon::Question;
  sizes.lines = {DialogLine{"Type increment sizes below: "}};
  for (int i = 1; i <= c.nincs; ++i) {
    sizes.fields.push_back(real_field("Inc. " + std::to_string(i) + " is size ", c.sizes[i], 8));
  }
  sizes.buttons = {"OK"};
  dialog_fitting(sizes, std::vector<FieldFormat>(static_cast<size_t>(c.nincs), F5_2));
  Rec line;
  line.I(c.nincs, 5);
  Rec listed;
  for (int i = 1; i <= c.nincs; ++i) {
    c.sizes[i] = sizes.fields[i - 1].rvalue;
    line.F(c.sizes[i], 5, 2);
    listed.F(c.sizes[i], 5, 2);
  }
  out << line.str() << "\n";
  prt << "Incremental loading\n-------------------\nIncrement sizes:\n" << listed.str() << "\n\n";
}

void TIMESTEPPING(int ndofn, AnalysisControl& c, std::ostream& out, std::ostream& prt) {
  if (ndofn > 0) {
    out << "     dtint     ftime     allow     theta    ttend \n\n";
    return;
  }
  if (YESNOG("Is this a timestepping analysis?") != 'y') {
    out << "     dtint     ftime     allow     theta     ttend   \n\n";
    return;
  }
  DialogSpec d;
  d.caption = "Timestepping regime";
  d.icon = DialogIcon::Question;
  double* values[] = {&c.dtint, &c.ftime, &c.allow, &c.theta, &c.ttend, &c.dtone};
  const char* labels[] = {"Initial timestep DTINT",         "Increase factor FTIME",
                          "Maximum timestep factor ALLOW",  "Discretization parameter THETA",
                          "Final time TTEND",               "T=0 timestep DTONE"};
  for (int i = 0; i < 6; ++i) {
    d.fields.push_back(real_field(std::string(labels[i]) + "\t= ", *values[i], 10));
  }
  d.lines = {DialogLine{"Maximum timestep = ALLOW*DTINT"},
             DialogLine{"THETA=0.0 for explicit, or =1.0 fully implicit"}};
  d.buttons = {"OK"};
  dialog_fitting(d, std::vector<FieldFormat>(6, E10_3));
  Rec line;
  for (int i = 0; i < 6; ++i) {
    *values[i] = d.fields[i].rvalue;
    line.E(*values[i], 10, 3);
  }
  out << "     dtint     ftime     allow     theta     ttend     dtone\n" << line.str() << "\n";
  // The listing names ALLOW for what it is: a factor of the initial step.
  const char* listed[] = {"Initial timestep = ",       "Timestep increase factor = ",
                          "Maximum timestep factor = ", "Time discretisation parameter = ",
                          "Final time = ",              "Timestep for T=0 solution = "};
  prt << "Timestepping regime\n-------------------\n";
  for (int i = 0; i < 6; ++i) prt << Rec().X(5).A(listed[i]).E(*values[i], 10, 3).str() << "\n";
  prt << "\n";
}

void starting_values(const OldPartB& old, AnalysisControl& c) {
  if (old.nincs > 0) {
    c.nincs = old.nincs;
    for (int i = 1; i <= 9; ++i) c.sizes[i] = i <= old.nincs ? old.sizes[i] : 0.0;
  }
  // A zero value stands for one never given; THETA may well be zero.
  c.dtint = old.dtint != 0.0 ? old.dtint : 0.001;
  c.ftime = old.ftime != 0.0 ? old.ftime : 1.2;
  c.allow = old.allow != 0.0 ? old.allow : 10.0;
  c.theta = old.theta;
  c.ttend = old.ttend != 0.0 ? old.ttend : 100.0;
  c.dtone = 0.0001;
}

void PART_B_SEQUENCE(MeshModel& m, std::ifstream* in, std::ostream& out, std::ostream& prt,
                     Table1<int, MPOIN>& newnod, Table1<int, MELEM>& newelt, PartBTables& t) {
  PUT("Start of Part B data input...");
  prt << "\nPart B data\n-----------\n\n";
  LoadTables& loads = t.loads;
  clear_loads(loads);
  BoundaryTables& bdry = t.bdry;
  clear_boundaries(bdry);
  const OldPartB* old = nullptr;
  if (in && YESNOG("Do you want to create Part B from the data in the input file?") == 'y') {
    if (!find_part_b(*in)) {
      PUT("Sorry, cannot find Part B in input file!");
    } else {
      OldPartB& o = t.old;
      if (read_old_part_b(*in, o)) {
        MPUT("Note: this will only make sense if you", "have not altered the mesh topology!");
        old = &o;
      } else {
        // Nothing of a damaged Part B is used: half-read lists would give
        // loads on the wrong nodes.
        MPUT("Part B in the input file is damaged or incomplete;", "Part B will be created anew.");
      }
    }
  }
  if (std::abs(m.ndofn) >= 2) {
    char answer;
    while ((answer = YESNOH("Do you want to apply any loads?")) == 'h') HPLOAD();
    if (answer == 'y') {
      HEADNG(" Part B data: " + title_shown(m));
      int ybar[2];
      RIGBAR(1, 1, ybar);
      BARLAB(1, ybar, " End ");
      SLEEPZ(1.0);
      if (old)
        MDFYLD(m, loads, *old, newnod, newelt, out, prt);
      else
        LOADG(m, loads, out, prt);
    } else {
      write_empty_loads(out);
      prt << "No applied loads\n";
    }
  }
  if (old)
    MDFYPB(m, bdry, *old, newnod, out, prt);
  else
    PARTB(m, bdry, out, prt);
  AnalysisControl c;
  if (old) starting_values(*old, c);
  INCREMENTS(m.ndofn, c, out, prt);
  TIMESTEPPING(m.ndofn, c, out, prt);
  out.flush();
}

}  // namespace vortan
