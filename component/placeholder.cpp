// placeholder until the public class lands
