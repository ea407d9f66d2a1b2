Old PM
 7 





READ?



 0 

 1 
 1 
 4200.5 
1E-02
 1.5 
 1 
