Brimtal SimPower 2 (simulated bench)
 13 
*RST;:UNIT1:POW W;:UNIT2:POW W
FREQ
MHZ
INST:NSEL 1
INST:NSEL 2
FETC1?
FETC2?
INIT1
INIT2
 230 
SYST:LOC
 0 
 1 
 18000 
 .01 
 .2 
 2 

