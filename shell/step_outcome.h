#ifndef PINBALL_STEP_OUTCOME_H
#define PINBALL_STEP_OUTCOME_H

/* What a step of start-up, or a run mode that may hand the run on, decides: the run goes on to
   the next step, or ends here. */
enum StepOutcome { runGoesOn, runEnds };

#endif
